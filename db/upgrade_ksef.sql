-- The structured invoices handed to the national e-invoice system.

-- One row per exported document: an invoice (ID_korekty empty) or one of its
-- correcting invoices. Plik holds the exact bytes as exported, which never
-- change; Skrot their SHA-256 in hex. Stan: 0 waiting to be sent, 1 handed
-- over, 2 accepted with its KSeF number and date, 3 rejected with the reason.
-- Numer and Data_wystawienia are those of the document as exported.
CREATE TABLE Ksef (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    Identyfikator INTEGER NOT NULL CHECK (typeof(Identyfikator) = 'integer'),
    ID_korekty INTEGER CHECK (typeof(ID_korekty) IN ('integer','null')),
    Numer   TEXT NOT NULL DEFAULT '' CHECK (length(Numer) <= 50),
    Data_wystawienia TEXT NOT NULL CHECK (typeof(Data_wystawienia) = 'text' AND length(Data_wystawienia) = 10 AND date(Data_wystawienia, '+0 days') IS Data_wystawienia),
    Plik    BLOB NOT NULL CHECK (length(Plik) > 0),
    Skrot   TEXT NOT NULL CHECK (length(Skrot) = 64),
    Stan    INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Stan) = 'integer' AND Stan BETWEEN 0 AND 3),
    Numer_KSeF TEXT CHECK (Numer_KSeF IS NULL OR length(Numer_KSeF) BETWEEN 1 AND 60),
    Data_KSeF TEXT CHECK (Data_KSeF IS NULL OR (typeof(Data_KSeF) = 'text' AND length(Data_KSeF) = 10 AND date(Data_KSeF, '+0 days') IS Data_KSeF)),
    Powod   TEXT NOT NULL DEFAULT '' CHECK (length(Powod) <= 200),
    Wyeksportowano TEXT NOT NULL CHECK (typeof(Wyeksportowano) = 'text' AND length(Wyeksportowano) BETWEEN 19 AND 20),
    CHECK (Stan <> 2 OR (Numer_KSeF IS NOT NULL AND Data_KSeF IS NOT NULL))
);
-- A document has at most one record that is not rejected: a rejected one
-- stays as history beside the record of the document sent again.
CREATE UNIQUE INDEX Ksef_dokument ON Ksef (Identyfikator, ifnull(ID_korekty, 0)) WHERE Stan <> 3;
CREATE UNIQUE INDEX Ksef_numer ON Ksef (Numer_KSeF) WHERE Numer_KSeF IS NOT NULL;
CREATE INDEX Ksef_grupa ON Ksef (Identyfikator);
CREATE INDEX Ksef_korekta ON Ksef (ID_korekty) WHERE ID_korekty IS NOT NULL;
