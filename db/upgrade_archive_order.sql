-- The person archive in each of its orders, a page at a time: every order a
-- grid title sorts by is served by an index, so the first screen and each
-- further one are read without sorting the whole archive. Names and
-- addresses go in Polish order (the collation PL, which every connection of
-- the program registers), a missing text as an empty one.
--
-- Each index carries a condition that holds for every row but that only the
-- archive's statements repeat (the key is a whole number, as the schema
-- ensures), so no other statement takes them and the order in which other
-- statements without an ORDER BY return their rows stays as it was.
CREATE INDEX Arch_os_nazwisko ON Arch_os (ifnull(Nazwisko, '') COLLATE PL)
    WHERE typeof(Identyfikator_o) = 'integer';
CREATE INDEX Arch_os_imie ON Arch_os (ifnull(Imie, '') COLLATE PL)
    WHERE typeof(Identyfikator_o) = 'integer';
CREATE INDEX Arch_os_adres ON Arch_os (ifnull(Adres, '') COLLATE PL)
    WHERE typeof(Identyfikator_o) = 'integer';
-- The checked-out register entries by group (the latest first, the persons
-- of a group in the order of their records), room, arrival and departure.
CREATE INDEX Ksiazka_wykw_grupa ON Ksiazka (Identyfikator_g DESC, Identyfikator_o)
    WHERE Wykwaterowany = 1 AND typeof(Identyfikator_g) = 'integer';
CREATE INDEX Ksiazka_wykw_pokoj ON Ksiazka (ifnull(Nr_pokoju, ''))
    WHERE Wykwaterowany = 1 AND typeof(Identyfikator_g) = 'integer';
CREATE INDEX Ksiazka_wykw_od ON Ksiazka (ifnull(Od, ''))
    WHERE Wykwaterowany = 1 AND typeof(Identyfikator_g) = 'integer';
CREATE INDEX Ksiazka_wykw_do ON Ksiazka (ifnull("Do", ''))
    WHERE Wykwaterowany = 1 AND typeof(Identyfikator_g) = 'integer';
