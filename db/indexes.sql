-- Indexes for a house with years of history; each one is kept only because a
-- benchmark in bench/ showed what it saves (figures in bench/README.md).
-- Register entries of a group: register browse, check-out, registration.
CREATE INDEX Ksiazka_grupa ON Ksiazka (Identyfikator_g);
-- The stays of a person: person archive, guest details.
CREATE INDEX Ksiazka_osoba ON Ksiazka (Identyfikator_o);
-- Entries by arrival day: statistics, archive and register by dates.
CREATE INDEX Ksiazka_od ON Ksiazka (Od);
-- Entries by departure day: the month chart of rooms.
CREATE INDEX Ksiazka_do ON Ksiazka ("Do");
-- Room lines by room and days: free rooms and free places of a period.
CREATE INDEX Kwat_msc_pokoj ON Kwat_msc (Nr_pokoju, Od);
CREATE INDEX Rez_msc_pokoj ON Rez_msc (Nr_pokoju, Od);
-- Room lines of a group: stay editor, check-in.
CREATE INDEX Kwat_msc_grupa ON Kwat_msc (Identyfikator);
CREATE INDEX Rez_msc_grupa ON Rez_msc (Identyfikator);
-- Calculation lines and payments of a group: billing window, guest details.
CREATE INDEX Kalk_det_grupa ON Kalk_det (Identyfikator);
CREATE INDEX Kwit_grupa ON Kwit (Identyfikator);
-- Payments and invoices of a period: money reports; the next invoice number.
CREATE INDEX Kwit_data ON Kwit (Data);
CREATE INDEX Kalk_wystawienie ON Kalk (data_wystawienia);
CREATE INDEX Kalk_rach ON Kalk (Rach);
