-- VAT rates of today, services sold besides rooms, and the form of each payment.

-- The rates a calculation line may carry: the code stored in the line, its
-- percentage, the text printed for it, whether new lines are offered it, and
-- its code in the structured invoice. 22 and 7 stay for calculations made
-- before 2011 but are no longer offered.
CREATE TABLE Stawki_VAT (
    Kod       TEXT NOT NULL PRIMARY KEY CHECK (length(Kod) BETWEEN 1 AND 2),
    Procent   INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Procent) = 'integer' AND Procent BETWEEN 0 AND 99),
    Opis      TEXT NOT NULL DEFAULT '' CHECK (length(Opis) <= 20),
    Oferowana INTEGER NOT NULL DEFAULT 1 CHECK (Oferowana IN (0, 1)),
    Kod_FA    TEXT NOT NULL CHECK (Kod_FA IN ('23', '22', '8', '7', '5', '4', '3', '0 KR', '0 WDT', '0 EX', 'zw', 'oo', 'np I', 'np II'))
);
INSERT INTO Stawki_VAT (Kod, Procent, Opis, Oferowana, Kod_FA) VALUES
    ('23', 23, '23%', 1, '23'),
    ('8', 8, '8%', 1, '8'),
    ('5', 5, '5%', 1, '5'),
    ('0', 0, '0%', 1, '0 KR'),
    ('zw', 0, 'zw', 1, 'zw'),
    ('22', 22, '22%', 0, '22'),
    ('7', 7, '7%', 0, '7');

-- The rate new room lines get, and the provision an exempt seller names on
-- its invoices.
ALTER TABLE Config ADD COLUMN Stawka_noclegu TEXT NOT NULL DEFAULT '8' CHECK (length(Stawka_noclegu) BETWEEN 1 AND 2);
ALTER TABLE Config ADD COLUMN Podstawa_zw TEXT NOT NULL DEFAULT '' CHECK (length(Podstawa_zw) <= 200);

-- What the house sells besides rooms, with its unit gross price.
CREATE TABLE Uslugi (
    ID     INTEGER PRIMARY KEY AUTOINCREMENT,
    Nazwa  TEXT NOT NULL CHECK (length(Nazwa) BETWEEN 1 AND 60),
    Jm     TEXT NOT NULL DEFAULT 'szt.' CHECK (length(Jm) BETWEEN 1 AND 10),
    Cena   INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Cena) = 'integer'),
    VAT    TEXT NOT NULL DEFAULT '23' CHECK (length(VAT) BETWEEN 1 AND 2),
    PKWiU  TEXT NOT NULL DEFAULT '' CHECK (length(PKWiU) <= 20)
);

-- Service lines of a calculation; Brutto is Cena times Ilosc and counts in
-- the calculation's totals like a room line.
CREATE TABLE Kalk_usl (
    "No"    INTEGER PRIMARY KEY AUTOINCREMENT,
    Identyfikator INTEGER NOT NULL CHECK (typeof(Identyfikator) = 'integer'),
    Nazwa   TEXT NOT NULL CHECK (length(Nazwa) BETWEEN 1 AND 60),
    Jm      TEXT NOT NULL DEFAULT '' CHECK (length(Jm) <= 10),
    Ilosc   INTEGER NOT NULL CHECK (typeof(Ilosc) = 'integer' AND Ilosc BETWEEN -32768 AND 32767),
    Cena    INTEGER NOT NULL CHECK (typeof(Cena) = 'integer'),
    VAT     TEXT NOT NULL CHECK (length(VAT) BETWEEN 1 AND 2),
    PKWiU   TEXT NOT NULL DEFAULT '' CHECK (length(PKWiU) <= 20),
    Podatek INTEGER NOT NULL CHECK (typeof(Podatek) = 'integer'),
    Brutto  INTEGER NOT NULL CHECK (typeof(Brutto) = 'integer')
);
CREATE INDEX Kalk_usl_grupa ON Kalk_usl (Identyfikator);

-- Uklad 1: the invoice prints as calculations always printed (rows by room
-- period, the fixed rate rows); 2: one row per line with its net, rate and
-- tax. Calculations made before this step keep 1.
ALTER TABLE Kalk ADD COLUMN Uklad INTEGER NOT NULL DEFAULT 1 CHECK (Uklad IN (1, 2));
-- Breakfast is part of the room price: the room lines are one composite service.
ALTER TABLE Kalk ADD COLUMN Sniadanie INTEGER NOT NULL DEFAULT 0 CHECK (Sniadanie IN (0, 1));
ALTER TABLE Kalk ADD COLUMN Przedplata_data TEXT CHECK (Przedplata_data IS NULL OR (typeof(Przedplata_data) = 'text' AND length(Przedplata_data) = 10 AND date(Przedplata_data, '+0 days') IS Przedplata_data));
ALTER TABLE Kalk ADD COLUMN Przedplata_forma INTEGER CHECK (Przedplata_forma IS NULL OR Przedplata_forma BETWEEN 1 AND 5);

-- How a payment was made: 1 cash, 2 card, 3 transfer, 4 voucher, 5 other.
-- Only a transfer document certainly came by transfer; the form of older
-- payments is otherwise not known.
ALTER TABLE Kwit ADD COLUMN Forma INTEGER CHECK (Forma IS NULL OR Forma BETWEEN 1 AND 5);
UPDATE Kwit SET Forma = 3 WHERE Typ = 3;
