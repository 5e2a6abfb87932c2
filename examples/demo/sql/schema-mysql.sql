-- Schema of the "Clienti e Ordini" demo for MySQL / MariaDB (InnoDB, so that
-- the foreign keys are kept and the navigator finds the links to the lookup
-- tables itself).

CREATE TABLE Comuni (
    IdComune  INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    Comune    VARCHAR(60) NOT NULL,
    Provincia CHAR(2) NOT NULL,
    Regione   VARCHAR(30) NOT NULL
) ENGINE = InnoDB DEFAULT CHARSET = utf8mb4;

CREATE TABLE Agenti (
    IdAgente INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    Agente   VARCHAR(60) NOT NULL,
    Zona     VARCHAR(30) NOT NULL,
    Attivo   BOOLEAN NOT NULL DEFAULT 1
) ENGINE = InnoDB DEFAULT CHARSET = utf8mb4;

CREATE TABLE Clienti (
    IdCliente INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    Cognome   VARCHAR(40) NOT NULL,
    Nome      VARCHAR(40),
    Indirizzo VARCHAR(80),
    IdComune  INT NOT NULL,
    Telefono  VARCHAR(20),
    Attivo    BOOLEAN NOT NULL DEFAULT 1,
    INDEX Clienti_Cognome (Cognome),
    FOREIGN KEY (IdComune) REFERENCES Comuni (IdComune)
) ENGINE = InnoDB DEFAULT CHARSET = utf8mb4;

CREATE TABLE Ordini (
    IdOrdine   INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    IdCliente  INT NOT NULL,
    IdAgente   INT NOT NULL,
    DataOrdine DATE NOT NULL,
    Importo    DECIMAL(10, 2) NOT NULL,
    Note       VARCHAR(200),
    INDEX Ordini_DataOrdine (DataOrdine),
    FOREIGN KEY (IdCliente) REFERENCES Clienti (IdCliente),
    FOREIGN KEY (IdAgente) REFERENCES Agenti (IdAgente)
) ENGINE = InnoDB DEFAULT CHARSET = utf8mb4;
