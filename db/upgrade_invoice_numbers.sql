-- Invoice numbers, buyer identification and correcting invoices.

-- The series an invoice was issued in, kept with it (an old invoice has none
-- and prints the series of the settings, as it always did).
ALTER TABLE Kalk ADD COLUMN Seria TEXT CHECK (Seria IS NULL OR length(Seria) <= 20);
-- The kind of the buyer's identifier in Nip: 0 none (a private person),
-- 1 Polish NIP, 2 EU VAT number with its country prefix, 3 another foreign
-- identifier; empty for an old invoice, whose Nip is printed as typed.
ALTER TABLE Kalk ADD COLUMN Nip_rodzaj INTEGER CHECK (Nip_rodzaj IS NULL OR (typeof(Nip_rodzaj) = 'integer' AND Nip_rodzaj BETWEEN 0 AND 3));
-- The buyer's country (Panstwo.ID; 1 is the home country).
ALTER TABLE Kalk ADD COLUMN ID_Panstwo INTEGER CHECK (typeof(ID_Panstwo) IN ('integer','null'));

-- One number per series and year among the invoices issued by this version;
-- older invoices may repeat numbers and keep them.
CREATE UNIQUE INDEX Kalk_numer ON Kalk (Seria, substr(data_wystawienia, 1, 4), Rach) WHERE Typ = 2 AND Seria IS NOT NULL;

-- Correcting invoices of issued invoices, with their own series. The corrected
-- invoice's number and date are kept as they were printed.
CREATE TABLE Korekta (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    Identyfikator INTEGER NOT NULL CHECK (typeof(Identyfikator) = 'integer'),
    Rach    INTEGER NOT NULL CHECK (typeof(Rach) = 'integer' AND Rach BETWEEN 1 AND 2147483647),
    Seria   TEXT NOT NULL DEFAULT '' CHECK (length(Seria) <= 20),
    data_wystawienia TEXT NOT NULL CHECK (typeof(data_wystawienia) = 'text' AND length(data_wystawienia) = 10 AND date(data_wystawienia, '+0 days') IS data_wystawienia),
    Przyczyna TEXT NOT NULL DEFAULT '' CHECK (length(Przyczyna) <= 200),
    Fakt_numer TEXT NOT NULL DEFAULT '' CHECK (length(Fakt_numer) <= 50),
    Fakt_data TEXT CHECK (Fakt_data IS NULL OR (typeof(Fakt_data) = 'text' AND length(Fakt_data) = 10 AND date(Fakt_data, '+0 days') IS Fakt_data)),
    Brutto_przed  INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Brutto_przed) = 'integer'),
    Brutto_po     INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Brutto_po) = 'integer'),
    Podatek_przed INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Podatek_przed) = 'integer'),
    Podatek_po    INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Podatek_po) = 'integer')
);
CREATE UNIQUE INDEX Korekta_numer ON Korekta (Seria, substr(data_wystawienia, 1, 4), Rach);
CREATE INDEX Korekta_grupa ON Korekta (Identyfikator);
CREATE INDEX Korekta_wystawienie ON Korekta (data_wystawienia);

-- The lines of a correction: each corrected line before and after.
CREATE TABLE Korekta_det (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    ID_korekty INTEGER NOT NULL CHECK (typeof(ID_korekty) = 'integer'),
    Lp      INTEGER NOT NULL CHECK (typeof(Lp) = 'integer'),
    No_pozycji INTEGER CHECK (typeof(No_pozycji) IN ('integer','null')),
    Opis    TEXT NOT NULL DEFAULT '' CHECK (length(Opis) <= 100),
    VAT_przed TEXT NOT NULL DEFAULT '' CHECK (length(VAT_przed) <= 10),
    VAT_po    TEXT NOT NULL DEFAULT '' CHECK (length(VAT_po) <= 10),
    Brutto_przed  INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Brutto_przed) = 'integer'),
    Brutto_po     INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Brutto_po) = 'integer'),
    Podatek_przed INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Podatek_przed) = 'integer'),
    Podatek_po    INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Podatek_po) = 'integer')
);
CREATE INDEX Korekta_det_korekta ON Korekta_det (ID_korekty);
