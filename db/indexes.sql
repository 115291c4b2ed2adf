-- Indexes for a house with years of history; each one is kept only because a
-- benchmark in bench/ showed what it saves (figures in bench/README.md).
-- Register entries of a group: register browse, check-out, registration.
CREATE INDEX Ksiazka_grupa ON Ksiazka (Identyfikator_g);
-- The stays of a person: person archive, guest details.
CREATE INDEX Ksiazka_osoba ON Ksiazka (Identyfikator_o);
-- Entries by arrival day: statistics, archive and register by dates.
CREATE INDEX Ksiazka_od ON Ksiazka (Od);
-- Reservation lines by room and days: free rooms of a period. (The lines of
-- the groups in the house are too few to need one.)
CREATE INDEX Rez_msc_pokoj ON Rez_msc (Nr_pokoju, Od);
-- Reservation lines of a group: stay editor, check-in.
CREATE INDEX Rez_msc_grupa ON Rez_msc (Identyfikator);
-- Calculation lines and payments of a group: billing window, guest details.
CREATE INDEX Kalk_det_grupa ON Kalk_det (Identyfikator);
CREATE INDEX Kwit_grupa ON Kwit (Identyfikator);
-- Payments and invoices of a period: money reports; the next invoice number.
CREATE INDEX Kwit_data ON Kwit (Data);
CREATE INDEX Kalk_wystawienie ON Kalk (data_wystawienia);
CREATE INDEX Kalk_rach ON Kalk (Rach);

-- What the query planner should expect of a house with years behind it: a
-- register of hundreds of thousands of entries beside a few dozen groups in
-- the house. Without these figures it guesses all tables alike and walks the
-- whole register to list the guests of today's groups. "ANALYZE
-- sqlite_schema" only creates the empty statistics table.
ANALYZE sqlite_schema;
INSERT INTO sqlite_stat1 (tbl, idx, stat) VALUES
    ('Rez_hot', NULL, '3000'),
    ('Kwat_hot', NULL, '100'),
    ('Kwat_msc', NULL, '150'),
    ('Arch_os', NULL, '300000'),
    ('Kalk', 'Kalk_wystawienie', '100000 30'),
    ('Kalk', 'Kalk_rach', '100000 5'),
    ('Ksiazka', 'Ksiazka_grupa', '400000 4'),
    ('Ksiazka', 'Ksiazka_osoba', '400000 2'),
    ('Ksiazka', 'Ksiazka_od', '400000 110'),
    ('Rez_msc', 'Rez_msc_pokoj', '4000 14 1'),
    ('Rez_msc', 'Rez_msc_grupa', '4000 2'),
    ('Kalk_det', 'Kalk_det_grupa', '150000 2'),
    ('Kwit', 'Kwit_grupa', '140000 2'),
    ('Kwit', 'Kwit_data', '140000 40'),
    ('Pokoje', 'sqlite_autoindex_Pokoje_1', '300 1'),
    ('Cennik', 'sqlite_autoindex_Cennik_1', '5 1'),
    ('Panstwo', NULL, '80');
