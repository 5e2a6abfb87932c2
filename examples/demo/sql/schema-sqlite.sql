-- Schema of the "Clienti e Ordini" demo for SQLite. The foreign keys are
-- declared so that the navigator finds the links to the lookup tables itself.

PRAGMA foreign_keys = ON;

CREATE TABLE Comuni (
    IdComune  INTEGER PRIMARY KEY AUTOINCREMENT,
    Comune    VARCHAR(60) NOT NULL,
    Provincia CHAR(2) NOT NULL,
    Regione   VARCHAR(30) NOT NULL
);

CREATE TABLE Agenti (
    IdAgente INTEGER PRIMARY KEY AUTOINCREMENT,
    Agente   VARCHAR(60) NOT NULL,
    Zona     VARCHAR(30) NOT NULL,
    Attivo   BOOLEAN NOT NULL DEFAULT 1
);

CREATE TABLE Clienti (
    IdCliente INTEGER PRIMARY KEY AUTOINCREMENT,
    Cognome   VARCHAR(40) NOT NULL,
    Nome      VARCHAR(40),
    Indirizzo VARCHAR(80),
    IdComune  INTEGER NOT NULL REFERENCES Comuni (IdComune),
    Telefono  VARCHAR(20),
    Attivo    BOOLEAN NOT NULL DEFAULT 1
);

CREATE INDEX Clienti_Cognome ON Clienti (Cognome);

CREATE TABLE Ordini (
    IdOrdine   INTEGER PRIMARY KEY AUTOINCREMENT,
    IdCliente  INTEGER NOT NULL REFERENCES Clienti (IdCliente),
    IdAgente   INTEGER NOT NULL REFERENCES Agenti (IdAgente),
    DataOrdine DATE NOT NULL,
    Importo    NUMERIC(10, 2) NOT NULL,
    Note       VARCHAR(200)
);

CREATE INDEX Ordini_DataOrdine ON Ordini (DataOrdine);
