-- What the monthly statistics need beside the register: the days the whole
-- house takes no guests, the rooms out of use for a while, which rooms are
-- open all year, and the establishment's kind and statistics identifier.
-- Both periods run from Od to Do with both days included.

CREATE TABLE Dni_zamkniete (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    Od      TEXT NOT NULL CHECK (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od),
    "Do"    TEXT NOT NULL CHECK (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do" AND "Do" >= Od),
    Powod   TEXT DEFAULT '' CHECK (length(Powod) <= 60)
);

CREATE TABLE Blokady (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    Nr_pokoju TEXT NOT NULL CHECK (length(Nr_pokoju) BETWEEN 1 AND 9),
    Od      TEXT NOT NULL CHECK (typeof(Od) = 'text' AND length(Od) = 10 AND date(Od, '+0 days') IS Od),
    "Do"    TEXT NOT NULL CHECK (typeof("Do") = 'text' AND length("Do") = 10 AND date("Do", '+0 days') IS "Do" AND "Do" >= Od),
    Powod   TEXT DEFAULT '' CHECK (length(Powod) <= 60)
);

-- The blocks of a room in a period: stay editor, free rooms, month chart.
CREATE INDEX Blokady_pokoj ON Blokady (Nr_pokoju, Od);

-- A room of a house open all year is itself open all year; a seasonal one
-- (a summer annexe) is marked in the room setup.
ALTER TABLE Pokoje ADD COLUMN Caly_rok INTEGER NOT NULL DEFAULT 1 CHECK (Caly_rok IN (0, 1));

ALTER TABLE Config ADD COLUMN Rodzaj_obiektu TEXT DEFAULT '' CHECK (length(Rodzaj_obiektu) <= 40);
ALTER TABLE Config ADD COLUMN Id_statystyczny TEXT DEFAULT '' CHECK (length(Id_statystyczny) <= 20);
