-- Functions of the file's engine that the reports' statements use.

-- julianday() of a day 'yyyy-mm-dd' or a moment 'yyyy-mm-dd hh:mm[:ss]': the
-- number of days since noon of 24 November 4714 BC, with the part of the day
-- as a fraction (2026-01-01 is 2461041.5). A text of another form gives NULL,
-- as on the file. PostgreSQL counts its Julian days from midnight, hence the
-- half day.
CREATE OR REPLACE FUNCTION julianday(t text) RETURNS double precision
    LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    IF t IS NULL OR t !~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}([ T][0-9]{2}:[0-9]{2}(:[0-9]{2}(\.[0-9]+)?)?)?$' THEN
        RETURN NULL;
    END IF;
    RETURN extract(julian FROM t::timestamp)::double precision - 0.5;
EXCEPTION WHEN OTHERS THEN
    RETURN NULL;
END $$;
