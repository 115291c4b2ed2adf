-- The indexes of the file, on the server. The file's archive indexes carry a
-- typeof() condition only to steer SQLite's planner; here they are plain.
CREATE INDEX Ksiazka_grupa ON Ksiazka (Identyfikator_g);
CREATE INDEX Ksiazka_osoba ON Ksiazka (Identyfikator_o);
CREATE INDEX Ksiazka_od ON Ksiazka (Od);
CREATE INDEX Rez_msc_pokoj ON Rez_msc (Nr_pokoju, Od);
CREATE INDEX Rez_msc_grupa ON Rez_msc (Identyfikator);
CREATE INDEX Kalk_det_grupa ON Kalk_det (Identyfikator);
CREATE INDEX Kwit_grupa ON Kwit (Identyfikator);
CREATE INDEX Kwit_data ON Kwit (Data);
CREATE INDEX Kalk_wystawienie ON Kalk (data_wystawienia);
CREATE INDEX Kalk_rach ON Kalk (Rach);
CREATE INDEX Blokady_pokoj ON Blokady (Nr_pokoju, Od);

CREATE INDEX Arch_os_nazwisko ON Arch_os ((ifnull(Nazwisko, '')) COLLATE PL);
CREATE INDEX Arch_os_imie ON Arch_os ((ifnull(Imie, '')) COLLATE PL);
CREATE INDEX Arch_os_adres ON Arch_os ((ifnull(Adres, '')) COLLATE PL);
CREATE INDEX Ksiazka_wykw_grupa ON Ksiazka (Identyfikator_g DESC, Identyfikator_o)
    WHERE Wykwaterowany = 1;
CREATE INDEX Ksiazka_wykw_pokoj ON Ksiazka ((ifnull(Nr_pokoju, ''))) WHERE Wykwaterowany = 1;
CREATE INDEX Ksiazka_wykw_od ON Ksiazka ((ifnull(Od, ''))) WHERE Wykwaterowany = 1;
CREATE INDEX Ksiazka_wykw_do ON Ksiazka ((ifnull("Do", ''))) WHERE Wykwaterowany = 1;

-- One number per series and year among the invoices that carry a series.
CREATE UNIQUE INDEX Kalk_numer ON Kalk (Seria, (substr(data_wystawienia, 1, 4)), Rach)
    WHERE Typ = 2 AND Seria IS NOT NULL;
CREATE UNIQUE INDEX Korekta_numer ON Korekta (Seria, (substr(data_wystawienia, 1, 4)), Rach);
CREATE INDEX Korekta_grupa ON Korekta (Identyfikator);
CREATE INDEX Korekta_wystawienie ON Korekta (data_wystawienia);
CREATE INDEX Korekta_det_korekta ON Korekta_det (ID_korekty);
CREATE UNIQUE INDEX Ksef_dokument ON Ksef (Identyfikator, (ifnull(ID_korekty, 0))) WHERE Stan <> 3;
CREATE UNIQUE INDEX Ksef_numer ON Ksef (Numer_KSeF) WHERE Numer_KSeF IS NOT NULL;
CREATE INDEX Ksef_grupa ON Ksef (Identyfikator);
CREATE INDEX Ksef_korekta ON Ksef (ID_korekty) WHERE ID_korekty IS NOT NULL;
CREATE INDEX Kalk_usl_grupa ON Kalk_usl (Identyfikator);
