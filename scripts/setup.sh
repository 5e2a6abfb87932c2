#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent and quiet when everything is already there.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-svg-dev libqt6svg6 libqt6sql6-sqlite libqt6sql6-mysql libqt6sql6-psql
    qt6-tools-dev-tools qt6-tools-dev libqt6opengl6-dev qt6-qpa-plugins
    libgtest-dev googletest
    mariadb-server mariadb-client
    postgresql libpq-dev
    sqlite3 libsqlite3-dev
    fonts-dejavu-core fontconfig
    clang-format xdg-utils
    xvfb dbus-x11 at-spi2-core qt6-translations-l10n
    orca python3-pyatspi xdotool x11-xserver-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "setup: installing ${missing[*]}"
    SUDO=""
    if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi
