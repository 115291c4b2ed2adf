-- The Rezydo database. Days are TEXT 'yyyy-mm-dd'; money is INTEGER
-- ten-thousandths of a złoty; yes/no is INTEGER 0/1. The database refuses
-- what does not fit: text longer than its column, a whole-number column
-- given something else, a second row with the same key.
-- A day is checked as date(d, '+0 days') IS d: the modifier makes SQLite
-- normalise 2026-02-30 to another day, and IS keeps an unreadable text (for
-- which date() gives NULL) from passing the check.

-- Reservation groups and their room lines.
CREATE TABLE Rez_hot (
    Identyfikator INTEGER PRIMARY KEY AUTOINCREMENT,
    Nazwa   TEXT DEFAULT '' CHECK (length(Nazwa) <= 40),
    Osob    INTEGER CHECK (typeof(Osob) IN ('integer','null') AND (Osob IS NULL OR Osob BETWEEN -32768 AND 32767)),
    Od      TEXT CHECK (Od IS NULL OR (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od)),
    "Do"    TEXT CHECK ("Do" IS NULL OR (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do")),
    Notatki TEXT DEFAULT '' CHECK (length(Notatki) <= 100)
);

CREATE TABLE Rez_msc (
    Identyfikator INTEGER NOT NULL CHECK (typeof(Identyfikator) = 'integer'),
    Nr_pokoju TEXT DEFAULT '' CHECK (length(Nr_pokoju) <= 9),
    Od      TEXT CHECK (Od IS NULL OR (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od)),
    "Do"    TEXT CHECK ("Do" IS NULL OR (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do")),
    Miejsc  INTEGER CHECK (typeof(Miejsc) IN ('integer','null') AND (Miejsc IS NULL OR Miejsc BETWEEN -32768 AND 32767)),
    Jaki    TEXT DEFAULT '' CHECK (length(Jaki) <= 1)
);

-- Accommodation groups and their room lines.
CREATE TABLE Kwat_hot (
    Identyfikator INTEGER PRIMARY KEY AUTOINCREMENT,
    Nazwa   TEXT DEFAULT '' CHECK (length(Nazwa) <= 40),
    Osob    INTEGER CHECK (typeof(Osob) IN ('integer','null') AND (Osob IS NULL OR Osob BETWEEN -32768 AND 32767)),
    Od      TEXT CHECK (Od IS NULL OR (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od)),
    "Do"    TEXT CHECK ("Do" IS NULL OR (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do")),
    Notatki TEXT DEFAULT '' CHECK (length(Notatki) <= 100)
);

CREATE TABLE Kwat_msc (
    Identyfikator INTEGER NOT NULL CHECK (typeof(Identyfikator) = 'integer'),
    Nr_pokoju TEXT DEFAULT '' CHECK (length(Nr_pokoju) <= 9),
    Od      TEXT CHECK (Od IS NULL OR (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od)),
    "Do"    TEXT CHECK ("Do" IS NULL OR (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do")),
    Miejsc  INTEGER CHECK (typeof(Miejsc) IN ('integer','null') AND (Miejsc IS NULL OR Miejsc BETWEEN -32768 AND 32767)),
    Jaki    TEXT DEFAULT '' CHECK (length(Jaki) <= 1)
);

-- The guest register: one entry per person per accommodation group.
CREATE TABLE Ksiazka (
    Identyfikator_g INTEGER NOT NULL CHECK (typeof(Identyfikator_g) = 'integer'),
    Identyfikator_o INTEGER NOT NULL CHECK (typeof(Identyfikator_o) = 'integer'),
    Od      TEXT CHECK (Od IS NULL OR (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od)),
    "Do"    TEXT CHECK ("Do" IS NULL OR (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do")),
    Nr_pokoju TEXT DEFAULT '' CHECK (length(Nr_pokoju) <= 9),
    Pelne_dane    INTEGER NOT NULL DEFAULT 0 CHECK (Pelne_dane IN (0, 1)),
    Wykwaterowany INTEGER NOT NULL DEFAULT 0 CHECK (Wykwaterowany IN (0, 1)),
    ID_Panstwo INTEGER CHECK (typeof(ID_Panstwo) IN ('integer','null'))
);

-- Person records, kept across stays: the person archive.
CREATE TABLE Arch_os (
    Identyfikator_o INTEGER PRIMARY KEY AUTOINCREMENT,
    Nazwisko   TEXT DEFAULT '' CHECK (length(Nazwisko) <= 30),
    Imie       TEXT DEFAULT '' CHECK (length(Imie) <= 20),
    Adres      TEXT DEFAULT '' CHECK (length(Adres) <= 70),
    ID_Panstwo INTEGER CHECK (typeof(ID_Panstwo) IN ('integer','null')),
    Data_ur    TEXT CHECK (Data_ur IS NULL OR (typeof(Data_ur) = 'text' AND length(Data_ur) = 10 AND date(Data_ur, '+0 days') IS Data_ur)),
    Miejsce_ur TEXT DEFAULT '' CHECK (length(Miejsce_ur) <= 25),
    Dokument_rodz INTEGER CHECK (typeof(Dokument_rodz) IN ('integer','null') AND (Dokument_rodz IS NULL OR Dokument_rodz BETWEEN -32768 AND 32767)),
    Dokument_nr TEXT DEFAULT '' CHECK (length(Dokument_nr) <= 15),
    Uwagi      TEXT DEFAULT '' CHECK (length(Uwagi) <= 255)
);

-- The calculation and invoice header of an accommodation group.
CREATE TABLE Kalk (
    Identyfikator INTEGER PRIMARY KEY CHECK (typeof(Identyfikator) = 'integer'),
    Od      TEXT CHECK (Od IS NULL OR (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od)),
    "Do"    TEXT CHECK ("Do" IS NULL OR (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do")),
    Dni     INTEGER CHECK (typeof(Dni) IN ('integer','null') AND (Dni IS NULL OR Dni BETWEEN -32768 AND 32767)),
    VAT     TEXT DEFAULT '' CHECK (length(VAT) <= 2),
    Liczba_osob INTEGER CHECK (typeof(Liczba_osob) IN ('integer','null') AND (Liczba_osob IS NULL OR Liczba_osob BETWEEN -32768 AND 32767)),
    Brutto  INTEGER CHECK (typeof(Brutto) IN ('integer','null')),
    Podatek INTEGER CHECK (typeof(Podatek) IN ('integer','null')),
    Znizka  INTEGER CHECK (typeof(Znizka) IN ('integer','null') AND (Znizka IS NULL OR Znizka BETWEEN -32768 AND 32767)),
    Podstawa TEXT DEFAULT '' CHECK (length(Podstawa) <= 25),
    Nazwa   TEXT DEFAULT '' CHECK (length(Nazwa) <= 40),
    Adres   TEXT DEFAULT '' CHECK (length(Adres) <= 50),
    Nip     TEXT DEFAULT '' CHECK (length(Nip) <= 15),
    Typ     INTEGER CHECK (typeof(Typ) IN ('integer','null') AND (Typ IS NULL OR Typ BETWEEN -32768 AND 32767)),
    Rach    INTEGER CHECK (typeof(Rach) IN ('integer','null') AND (Rach IS NULL OR Rach BETWEEN -32768 AND 32767)),
    Zamowienie TEXT DEFAULT '' CHECK (length(Zamowienie) <= 50),
    Przedplata INTEGER CHECK (typeof(Przedplata) IN ('integer','null')),
    data_wystawienia TEXT CHECK (data_wystawienia IS NULL OR (typeof(data_wystawienia) = 'text' AND length(data_wystawienia) = 10 AND date(data_wystawienia, '+0 days') IS data_wystawienia)),
    data_sprzedazy   TEXT CHECK (data_sprzedazy IS NULL OR (typeof(data_sprzedazy) = 'text' AND length(data_sprzedazy) = 10 AND date(data_sprzedazy, '+0 days') IS data_sprzedazy)),
    termin_platnosci TEXT CHECK (termin_platnosci IS NULL OR (typeof(termin_platnosci) = 'text' AND length(termin_platnosci) = 10 AND date(termin_platnosci, '+0 days') IS termin_platnosci)),
    sposob_zaplaty INTEGER CHECK (typeof(sposob_zaplaty) IN ('integer','null') AND (sposob_zaplaty IS NULL OR sposob_zaplaty BETWEEN 0 AND 255)),
    uwagi   TEXT DEFAULT '' CHECK (length(uwagi) <= 100),
    rozl    INTEGER NOT NULL DEFAULT 0 CHECK (rozl IN (0, 1))
);

CREATE TABLE Kalk_det (
    "No"    INTEGER PRIMARY KEY AUTOINCREMENT,
    Identyfikator INTEGER NOT NULL CHECK (typeof(Identyfikator) = 'integer'),
    Nr_pokoju TEXT DEFAULT '' CHECK (length(Nr_pokoju) <= 9),
    Od      TEXT CHECK (Od IS NULL OR (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od)),
    "Do"    TEXT CHECK ("Do" IS NULL OR (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do")),
    Rozmiar INTEGER CHECK (typeof(Rozmiar) IN ('integer','null') AND (Rozmiar IS NULL OR Rozmiar BETWEEN -32768 AND 32767)),
    Miejsc  INTEGER CHECK (typeof(Miejsc) IN ('integer','null') AND (Miejsc IS NULL OR Miejsc BETWEEN -32768 AND 32767)),
    Oplata1 INTEGER CHECK (typeof(Oplata1) IN ('integer','null')),
    Oplata2 INTEGER CHECK (typeof(Oplata2) IN ('integer','null')),
    Znizka  INTEGER CHECK (typeof(Znizka) IN ('integer','null') AND (Znizka IS NULL OR Znizka BETWEEN -32768 AND 32767)),
    Podstawa TEXT DEFAULT '' CHECK (length(Podstawa) <= 15),
    Dni     INTEGER CHECK (typeof(Dni) IN ('integer','null') AND (Dni IS NULL OR Dni BETWEEN -32768 AND 32767)),
    VAT     TEXT DEFAULT '' CHECK (length(VAT) <= 2),
    Podatek INTEGER CHECK (typeof(Podatek) IN ('integer','null')),
    Brutto  INTEGER CHECK (typeof(Brutto) IN ('integer','null'))
);

-- Payments; ID is also the order in which receipts were issued.
CREATE TABLE Kwit (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    Identyfikator INTEGER NOT NULL CHECK (typeof(Identyfikator) = 'integer'),
    Nr_kwit TEXT DEFAULT '' CHECK (length(Nr_kwit) <= 14),
    Nr_noty INTEGER CHECK (typeof(Nr_noty) IN ('integer','null')),
    Wplata  INTEGER CHECK (typeof(Wplata) IN ('integer','null')),
    Data    TEXT CHECK (Data IS NULL OR (typeof(Data) = 'text' AND length(Data) = 10 AND date(Data, '+0 days') IS Data)),
    Typ     INTEGER CHECK (typeof(Typ) IN ('integer','null'))
);

-- Setup: rooms (columns in this order), price list, the hotel, countries.
CREATE TABLE Pokoje (
    Nr_Pokoju TEXT NOT NULL PRIMARY KEY CHECK (length(Nr_Pokoju) BETWEEN 1 AND 9),
    Miejsc  INTEGER CHECK (typeof(Miejsc) IN ('integer','null') AND (Miejsc IS NULL OR Miejsc BETWEEN -32768 AND 32767)),
    Typ     TEXT DEFAULT '' CHECK (length(Typ) <= 5),
    Opis    TEXT DEFAULT '' CHECK (length(Opis) <= 50)
);

CREATE TABLE Cennik (
    Typ     TEXT NOT NULL PRIMARY KEY CHECK (length(Typ) BETWEEN 1 AND 5),
    Cena1   INTEGER CHECK (typeof(Cena1) IN ('integer','null')),
    Cena2   INTEGER CHECK (typeof(Cena2) IN ('integer','null')),
    Cena3   INTEGER CHECK (typeof(Cena3) IN ('integer','null')),
    Cena4   INTEGER CHECK (typeof(Cena4) IN ('integer','null'))
);

CREATE TABLE Config (
    Nazwa   TEXT DEFAULT '' CHECK (length(Nazwa) <= 100),
    Adres   TEXT DEFAULT '' CHECK (length(Adres) <= 100),
    Regon   TEXT DEFAULT '' CHECK (length(Regon) <= 20),
    SWW     TEXT DEFAULT '' CHECK (length(SWW) <= 20),
    NIP     TEXT DEFAULT '' CHECK (length(NIP) <= 20),
    Miejscowosc TEXT DEFAULT '' CHECK (length(Miejscowosc) <= 50),
    Bank    TEXT DEFAULT '' CHECK (length(Bank) <= 100),
    NrKonta TEXT DEFAULT '' CHECK (length(NrKonta) <= 40)
);

CREATE TABLE Panstwo (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    Nazwa   TEXT DEFAULT '' CHECK (length(Nazwa) <= 50)
);
