-- What a fresh server database holds besides the countries and the Config
-- row of db/seed.sql: the VAT rates the file gets in its upgrade steps.
INSERT INTO Stawki_VAT (Kod, Procent, Opis, Oferowana, Kod_FA) VALUES
    ('23', 23, '23%', 1, '23'),
    ('8', 8, '8%', 1, '8'),
    ('5', 5, '5%', 1, '5'),
    ('0', 0, '0%', 1, '0 KR'),
    ('zw', 0, 'zw', 1, 'zw'),
    ('22', 22, '22%', 0, '22'),
    ('7', 7, '7%', 0, '7');
