INSERT INTO Config (Nazwa) VALUES ('');
