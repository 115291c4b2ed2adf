-- The six stored queries of the file, on the server: the same columns and
-- rows. Months and years are cut from the day's text, which is what the
-- file's strftime() gives for a stored day.

-- Accommodation groups with their settled flag; rozl is NULL while the group
-- has no calculation yet (callers count that as unsettled).
CREATE VIEW Kwat_rozl AS
SELECT K.Identyfikator, K.Nazwa, K.Osob, K.Od, K."Do", K.Notatki, C.rozl
FROM Kwat_hot K
LEFT JOIN Kalk C ON C.Identyfikator = K.Identyfikator;

-- Room lines of both kinds, for the next occupation of a room.
CREATE VIEW Kwat_i_Rez AS
SELECT Nr_pokoju, Od, "Do", Miejsc FROM Kwat_msc
UNION ALL
SELECT Nr_pokoju, Od, "Do", Miejsc FROM Rez_msc;

-- Room lines of both kinds joined to their room; columns read by position.
-- The group id goes to ID_KWAT or ID_REZ by kind; the other column holds -1,
-- which no group has (ids start at 1) and which callers never pass (they pass
-- 0 for a new group and -2 for no group of that kind), so "ID_KWAT<>:K and
-- ID_REZ<>:R" leaves out only the group being edited.
CREATE VIEW Miejsca AS
SELECT L.Nr_pokoju AS Nr_pokoju, P.Miejsc AS Miejsc, P.Typ AS Typ, L.Miejsc AS Miejsc1,
       L.Od AS Od, L."Do" AS "Do", L.Jaki AS Jaki,
       L.Identyfikator AS ID_KWAT, -1 AS ID_REZ
FROM Kwat_msc L
JOIN Pokoje P ON P.Nr_Pokoju = L.Nr_pokoju
UNION ALL
SELECT L.Nr_pokoju, P.Miejsc, P.Typ, L.Miejsc, L.Od, L."Do", L.Jaki,
       -1, L.Identyfikator
FROM Rez_msc L
JOIN Pokoje P ON P.Nr_Pokoju = L.Nr_pokoju;

-- Register entries with their person's name.
CREATE VIEW Arch_join_Ksiazka AS
SELECT A.Nazwisko, A.Imie, K.Nr_pokoju, K.Od, K."Do", K.Identyfikator_o, K.Identyfikator_g,
       K.Pelne_dane, K.Wykwaterowany, K.ID_Panstwo
FROM Ksiazka K
JOIN Arch_os A ON A.Identyfikator_o = K.Identyfikator_o;

-- Reservation room lines and register entries, for the month chart of rooms.
-- A row without both days covers no day and is left out.
CREATE VIEW Rez_msc_i_ksiazka AS
SELECT Nr_pokoju, Od, "Do", 1 AS Rezerw FROM Rez_msc
WHERE Od IS NOT NULL AND "Do" IS NOT NULL
UNION ALL
SELECT Nr_pokoju, Od, "Do", 0 FROM Ksiazka
WHERE Od IS NOT NULL AND "Do" IS NOT NULL;

-- The same rows as months and years, in order of arrival, from which the list
-- of months holding any booking is built.
CREATE VIEW Rez_i_ksiazka AS
SELECT CAST(substr(Od, 6, 2) AS INTEGER) AS Od_miesiac,
       CAST(substr(Od, 1, 4) AS INTEGER) AS Od_rok,
       CAST(substr("Do", 6, 2) AS INTEGER) AS Do_miesiac,
       CAST(substr("Do", 1, 4) AS INTEGER) AS Do_rok,
       Od, "Do"
FROM Rez_msc_i_ksiazka
ORDER BY Od, "Do";
