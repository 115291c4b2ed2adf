-- Guests' personal data: how much the registration asks for, how long former
-- guests' data are kept, and a record of every anonymisation.

-- 0: the full form of old (birth date and place, identity document),
-- 1: only name, address, country and the stay.
ALTER TABLE Config ADD COLUMN Dane_minimalne INTEGER NOT NULL DEFAULT 0
    CHECK (Dane_minimalne IN (0, 1));
-- Full years after the end of a stay's year that a former guest's data are
-- kept; never below the five years an invoice of the stay must be kept.
ALTER TABLE Config ADD COLUMN Lata_przechowywania INTEGER NOT NULL DEFAULT 5
    CHECK (typeof(Lata_przechowywania) = 'integer' AND Lata_przechowywania BETWEEN 5 AND 50);
-- The first day of the month in which the start-up last offered anonymisation.
ALTER TABLE Config ADD COLUMN Anonimizacja_oferta TEXT
    CHECK (Anonimizacja_oferta IS NULL OR (typeof(Anonimizacja_oferta) = 'text'
           AND length(Anonimizacja_oferta) = 10
           AND date(Anonimizacja_oferta, '+0 days') IS Anonimizacja_oferta));

-- The day a person's data were replaced by the anonymous value; NULL while
-- they are whole.
ALTER TABLE Arch_os ADD COLUMN Anonimizacja TEXT
    CHECK (Anonimizacja IS NULL OR (typeof(Anonimizacja) = 'text' AND length(Anonimizacja) = 10
           AND date(Anonimizacja, '+0 days') IS Anonimizacja));

-- One row per anonymisation: when, by which command, how many persons and
-- invoice buyers. Nothing here names anybody.
CREATE TABLE Anonimizacja_log (
    ID       INTEGER PRIMARY KEY AUTOINCREMENT,
    Kiedy    TEXT NOT NULL CHECK (length(Kiedy) = 16),
    Polecenie TEXT NOT NULL DEFAULT '' CHECK (length(Polecenie) <= 40),
    Osob     INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Osob) = 'integer'),
    Faktur   INTEGER NOT NULL DEFAULT 0 CHECK (typeof(Faktur) = 'integer')
);
