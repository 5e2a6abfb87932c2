#pragma once

// The toolbar of the control. Its items sit edge to edge with no margins, so
// the record-number box lands at its designed place whatever the style; a
// style change would otherwise bring the style's margins and spacing back.

#include <QToolBar>

namespace tessaro {

class BarraPulsanti : public QToolBar {
    Q_OBJECT

public:
    explicit BarraPulsanti(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void TogliMargini();
};

} // namespace tessaro
