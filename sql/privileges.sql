-- Quillon database roles and what each may do.  Load as a superuser after
-- schema.sql, and again after any change of roles; it can be run any number
-- of times:
--     psql -v ON_ERROR_STOP=1 -d quillon -f sql/privileges.sql
--
-- quillon         the clients' shared log-in role: every table, except that
--                 it may set tbluser.password but never read it, so no
--                 client sees a stored password hash.
-- quillon_server  the coordination server's own role ([database] user in its
--                 configuration): every table, and it alone reads the
--                 password hashes to check log-ins and rewrites them.
-- Either role may be missing (a database used by the client only); it then
-- gets nothing here.  The tables must not be owned by either role: an owner
-- keeps every right on its table whatever is revoked.

DO $$
BEGIN
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'quillon') THEN
        GRANT USAGE ON SCHEMA public TO quillon;
        GRANT ALL ON ALL TABLES IN SCHEMA public TO quillon;
        GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO quillon;
        -- A table-wide right covers every column, so the column rights
        -- replace it rather than narrow it.
        REVOKE ALL ON tbluser FROM quillon;
        GRANT SELECT (userid, loginnaam, rights) ON tbluser TO quillon;
        GRANT INSERT (loginnaam, password, rights), UPDATE (loginnaam, password, rights) ON tbluser TO quillon;
        GRANT DELETE ON tbluser TO quillon;
        -- A database created from this one as a template does not inherit
        -- ALTER DATABASE settings; the role setting still holds there.
        ALTER ROLE quillon SET standard_conforming_strings = off;
        ALTER ROLE quillon SET escape_string_warning = off;
    END IF;
    IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'quillon_server') THEN
        GRANT USAGE ON SCHEMA public TO quillon_server;
        GRANT ALL ON ALL TABLES IN SCHEMA public TO quillon_server;
        GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO quillon_server;
    END IF;
END
$$;
