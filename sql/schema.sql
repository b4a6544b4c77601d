-- Quillon database schema.
--
-- Load as a superuser into an empty UTF8 database, then the roles' rights:
--     psql -v ON_ERROR_STOP=1 -d quillon -f sql/schema.sql
--     psql -v ON_ERROR_STOP=1 -d quillon -f sql/privileges.sql
-- Loads on PostgreSQL 13 and 15 and under either setting of
-- standard_conforming_strings (this file holds no backslashes).
--
-- Conventions the client's SQL relies on:
-- * Dates are text "yyyymmdd" and times text "hh:nn" (clock fields
--   "hh:nn:ss"); both are compared as text and cut apart by character
--   position, so they are never date/time types here.  Empty means none.
-- * Booleans are real booleans (read back as "t"/"f").
-- * Integer references use -1 for "no reference"; the client never writes
--   NULL.  Reference columns that sub-selects feed into "not in" are NOT NULL,
--   because one NULL there would hide every row.
-- * No foreign keys and no ON DELETE: the client deletes parents before
--   children and leaves -1 and dangling ids in place; constraints would turn
--   those deletes into errors.  Link tables have no uniqueness either: a
--   duplicate link inside a begin/end block would roll back the whole save.
-- * Several tables are read with "select *" by column position, so their
--   column order is fixed; the positions are noted at each table.  Never add
--   columns to those tables except at the end, and check the readers first.
-- * Link tables have exactly two integer columns, filled by positional
--   inserts ("insert into x values (a,b)").
-- * Keys come from serial sequences, so inserts without the key work and
--   the client can draw keys first with nextval('tblagenda_id_seq') etc.
-- * tbluser.rights is a flag string of 16 characters, "x" set, "-" not:
--   character 1 = may take the final-editor role, character 2 = administrator
--   ("system operator"); the client writes characters 3-16 as "-".
-- * tbluser.password holds a salted scrypt hash ("$scrypt$ln=...").  A value
--   without that prefix is a password from before hashing: the server
--   accepts it once and rewrites it as a hash.  The clients' role cannot
--   read the column (privileges.sql).
-- * Colours are six hex digits in blue-green-red order ("0000FF" is red).
-- * Field separator "character 255" is stored as U+00FF (the database is UTF8).
-- * Text literals are escaped with backslashes by the client, so the database
--   runs with standard_conforming_strings off (set below).

SET client_min_messages = warning;

DO $$
DECLARE
    enc text := pg_encoding_to_char((SELECT encoding FROM pg_database
                                     WHERE datname = current_database()));
BEGIN
    -- Separators (U+00FF) and accented text need a Unicode database;
    -- SQL_ASCII would hand raw bytes to a client that expects UTF-8.
    IF enc <> 'UTF8' THEN
        RAISE EXCEPTION 'database % has encoding %, Quillon needs UTF8 (createdb -E UTF8 -T template0)',
            current_database(), enc;
    END IF;
    EXECUTE format('ALTER DATABASE %I SET standard_conforming_strings = off', current_database());
    EXECUTE format('ALTER DATABASE %I SET escape_string_warning = off', current_database());
    -- An archive search ANDs the trigram matches with a date range of a year's
    -- texts; with the default 4MB that bitmap of a station's million texts
    -- goes lossy and every row of its pages is read and tested again.
    EXECUTE format('ALTER DATABASE %I SET work_mem = %L', current_database(), '16MB');
    -- lower() of a whole text costs about a hundred simple operators (a
    -- microsecond against ten nanoseconds). Costed as one, the planner walks
    -- the date index of an archive stored in date order backwards and lowers
    -- every text of the year, four times slower than intersecting the
    -- trigram and date indexes. Only a superuser may say so; without it the
    -- search still works, just slower on such an archive.
    BEGIN
        ALTER FUNCTION pg_catalog.lower(text) COST 100;
    EXCEPTION WHEN insufficient_privilege THEN
        RAISE NOTICE 'lower(text) keeps its cost: load schema.sql as a superuser for faster archive searches';
    END;
END
$$;

CREATE EXTENSION IF NOT EXISTS pg_trgm;

-- ---------------------------------------------------------------------------
-- Editors and editorial teams

CREATE TABLE tbluser (
    userid      serial PRIMARY KEY,
    loginnaam   text NOT NULL UNIQUE,
    password    text DEFAULT '',
    rights      text DEFAULT '----------------'
);

-- "select * from tblredactie": 0 id, 1 naam, 2 menu image number.
-- The image number gets its own column so that a colour made of decimal
-- digits ("112233") is never taken for an image index.
CREATE TABLE tblredactie (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    image       integer NOT NULL DEFAULT 0,
    color       text DEFAULT '000000'
);

CREATE TABLE tblredactieuser (
    redactieid  integer NOT NULL,
    userid      integer NOT NULL
);
CREATE INDEX tblredactieuser_userid_idx ON tblredactieuser (userid);
CREATE INDEX tblredactieuser_redactieid_idx ON tblredactieuser (redactieid);

-- Programmes a team composes cycles for.
CREATE TABLE tblredactierubriek (
    redactieid  integer NOT NULL,
    zenderid    integer NOT NULL
);
CREATE INDEX tblredactierubriek_redactieid_idx ON tblredactierubriek (redactieid);

-- Programmes a team may publish.
CREATE TABLE tblredpubrub (
    redid       integer NOT NULL,
    progid      integer NOT NULL
);
CREATE INDEX tblredpubrub_redid_idx ON tblredpubrub (redid);

-- ---------------------------------------------------------------------------
-- Planning

-- Repeating agenda item; dagen: 7 chars, Sunday first, "x" = that weekday.
CREATE TABLE tblagendaherhaal (
    id          serial PRIMARY KEY,
    kort        text NOT NULL DEFAULT '',
    redactie    integer NOT NULL DEFAULT -1,
    dagen       text NOT NULL DEFAULT '-------'
);
CREATE INDEX tblagendaherhaal_redactie_idx ON tblagendaherhaal (redactie);

-- "select * from tblagenda": 0 id, 1 kort, 2 lang, 3 datum, 4 tijd,
-- 5 redactie, 6 datuminvoer, 7 herhaal, 8 invoerdoor, 9 followup,
-- 10 locatie, 11 prioriteit, 12 bron.  locatie and prioriteit are not used
-- by the client; they exist because bron must sit at position 12.
-- A repeating item taken up is inserted with only id, kort, datum, tijd,
-- redactie and herhaal, hence the defaults.
CREATE TABLE tblagenda (
    id          serial PRIMARY KEY,
    kort        text NOT NULL DEFAULT '',
    lang        text DEFAULT '',
    datum       text NOT NULL DEFAULT '',
    tijd        text DEFAULT '00:00',
    redactie    integer NOT NULL DEFAULT -1,
    datuminvoer text DEFAULT to_char(current_date, 'YYYYMMDD'),
    herhaal     integer NOT NULL DEFAULT -1,
    invoerdoor  integer NOT NULL DEFAULT -1,
    followup    integer NOT NULL DEFAULT -1,
    locatie     text DEFAULT '',
    prioriteit  integer DEFAULT 0,
    bron        text DEFAULT ''
);
CREATE INDEX tblagenda_redactie_datum_idx ON tblagenda (redactie, datum);
-- "id not in (select herhaal from tblagenda where datum = ...)"
CREATE INDEX tblagenda_datum_herhaal_idx ON tblagenda (datum, herhaal);

CREATE TABLE tblagendanaw (
    agenda      integer NOT NULL,
    naw         integer NOT NULL
);
CREATE INDEX tblagendanaw_agenda_idx ON tblagendanaw (agenda);

CREATE TABLE tblagendaarchief (
    agenda      integer NOT NULL,
    archief     integer NOT NULL
);
CREATE INDEX tblagendaarchief_agenda_idx ON tblagendaarchief (agenda);

-- Production list entry: klaar false = production list, true = ready list.
-- wie is a login name, not a user id.
CREATE TABLE tbltodo (
    id          serial PRIMARY KEY,
    agendaid    integer NOT NULL DEFAULT -1,
    datum       text NOT NULL DEFAULT '',
    klaar       boolean NOT NULL DEFAULT false,
    redactie    integer NOT NULL DEFAULT -1,
    wie         text DEFAULT ''
);
CREATE INDEX tbltodo_datum_idx ON tbltodo (datum, agendaid);
CREATE INDEX tbltodo_redactie_datum_idx ON tbltodo (redactie, datum);
CREATE INDEX tbltodo_agendaid_idx ON tbltodo (agendaid);

-- Automatic production-list entry; dagen as in tblagendaherhaal.
CREATE TABLE tbltodoherhaal (
    id          serial PRIMARY KEY,
    kort        text NOT NULL DEFAULT '',
    wie         text DEFAULT '',
    redactie    integer NOT NULL DEFAULT -1,
    dagen       text NOT NULL DEFAULT '-------',
    klaar       boolean NOT NULL DEFAULT false
);
CREATE INDEX tbltodoherhaal_redactie_idx ON tbltodoherhaal (redactie);

-- ---------------------------------------------------------------------------
-- Templates and texts

-- "select * from tbltemplate": 0 id, 1 naam.  parent -1 = a goal (offered
-- to teams), else the goal's id.  New rows name only naam, content, editor.
CREATE TABLE tbltemplate (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    content     text DEFAULT '',
    editor      text DEFAULT '',
    initial     text DEFAULT '',
    parent      integer NOT NULL DEFAULT -1
);
CREATE INDEX tbltemplate_parent_idx ON tbltemplate (parent, naam);
-- merge looks templates up by name
CREATE INDEX tbltemplate_naam_idx ON tbltemplate (naam);

CREATE TABLE tblredactietemplate (
    redactie    integer NOT NULL,
    template    integer NOT NULL
);
CREATE INDEX tblredactietemplate_redactie_idx ON tblredactietemplate (redactie);
CREATE INDEX tblredactietemplate_template_idx ON tblredactietemplate (template);

-- A text version.  "select * from tblteksten": 0 id, 1 kop, 2 body, 3 datum,
-- 4 tijd, 5 agendaid, 6 paginacount, 7 template, 8 extra, 9 klok, 10 wie.
-- body is the stored editor form ("<br>" soft and "<hrt>" hard line ends);
-- klok is the clock list (seven U+00FF-terminated fields per clock);
-- wie is the user id of the last saver; template < 0 means none.
CREATE TABLE tblteksten (
    id          serial PRIMARY KEY,
    kop         text DEFAULT '',
    -- "C": the archive search lowers every candidate body again to check
    -- it, and lowering just ASCII costs a fraction of the locale's way. Its
    -- words with other letters match each of those in every case by a
    -- regular expression on the same lower(body) (texts/ArchiefSearch.h).
    body        text COLLATE "C" DEFAULT '',
    -- "yyyymmdd" sorts the same byte by byte, without the locale.
    datum       text COLLATE "C" NOT NULL DEFAULT '',
    tijd        text DEFAULT '',
    agendaid    integer NOT NULL DEFAULT -1,
    paginacount integer NOT NULL DEFAULT 0,
    template    integer NOT NULL DEFAULT -1,
    extra       text DEFAULT '',
    klok        text DEFAULT '',
    wie         integer NOT NULL DEFAULT -1
);
-- Every editor may search the archive at once: a search takes one core, so
-- that one editor's common word does not occupy the others' cores as well.
ALTER TABLE tblteksten SET (parallel_workers = 0);
CREATE INDEX tblteksten_agendaid_idx ON tblteksten (agendaid);
CREATE INDEX tblteksten_datum_idx ON tblteksten (datum);
-- archive search: "lower(body) like '%word%'" (or "~" for a word beyond ASCII) per word
CREATE INDEX tblteksten_body_trgm_idx ON tblteksten USING gin (lower(body) gin_trgm_ops);

-- Yearly archive tables of 1999 to 2001: the archive viewer reads a text
-- dated in such a year from its year's table by the same id it has in
-- tblteksten; texts of other years, older ones too, from tblteksten.
CREATE TABLE tblteksten_1999 (LIKE tblteksten INCLUDING DEFAULTS INCLUDING CONSTRAINTS);
ALTER TABLE tblteksten_1999 ADD PRIMARY KEY (id);
CREATE TABLE tblteksten_2000 (LIKE tblteksten INCLUDING DEFAULTS INCLUDING CONSTRAINTS);
ALTER TABLE tblteksten_2000 ADD PRIMARY KEY (id);
CREATE TABLE tblteksten_2001 (LIKE tblteksten INCLUDING DEFAULTS INCLUDING CONSTRAINTS);
ALTER TABLE tblteksten_2001 ADD PRIMARY KEY (id);

-- Earlier states of a text version. A save that changes kop, body or extra
-- first keeps the state it replaces here (the trigger below), whoever saves,
-- so no save destroys an earlier text; restoring one is an ordinary save.
-- datum, tijd and wie are those of the state kept (wie: a user id). The
-- newest 25 states of each version are kept: enough to go back over a day of
-- saves on switching and closing, without the table outgrowing tblteksten.
CREATE TABLE tbltekstenhistorie (
    id          serial PRIMARY KEY,
    tekstid     integer NOT NULL,
    kop         text DEFAULT '',
    body        text DEFAULT '',
    extra       text DEFAULT '',
    datum       text NOT NULL DEFAULT '',
    tijd        text DEFAULT '',
    wie         integer NOT NULL DEFAULT -1
);
CREATE INDEX tbltekstenhistorie_tekstid_idx ON tbltekstenhistorie (tekstid, id);

CREATE FUNCTION tblteksten_keep_history() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO tbltekstenhistorie (tekstid, kop, body, extra, datum, tijd, wie)
        VALUES (OLD.id, OLD.kop, OLD.body, OLD.extra, OLD.datum, OLD.tijd, OLD.wie);
    DELETE FROM tbltekstenhistorie WHERE tekstid = OLD.id AND id <= (
        SELECT id FROM tbltekstenhistorie WHERE tekstid = OLD.id ORDER BY id DESC OFFSET 25 LIMIT 1);
    RETURN NEW;
END
$$;
CREATE TRIGGER tblteksten_history BEFORE UPDATE ON tblteksten FOR EACH ROW
    WHEN (OLD.kop IS DISTINCT FROM NEW.kop OR OLD.body IS DISTINCT FROM NEW.body
          OR OLD.extra IS DISTINCT FROM NEW.extra)
    EXECUTE FUNCTION tblteksten_keep_history();

-- Older form of a text's clock; "select *" reads columns 2..8 as the clock's
-- seven fields, so the order is fixed.
CREATE TABLE tblklok (
    id          serial PRIMARY KEY,
    tekstid     integer NOT NULL DEFAULT -1,
    startdatum  text DEFAULT '',
    einddatum   text DEFAULT '',
    starttijd   text DEFAULT '00:00:00',
    eindtijd    text DEFAULT '23:59:59',
    intijd      text DEFAULT '00:00:00',
    uittijd     text DEFAULT '23:59:59',
    dagen       text DEFAULT 'xxxxxxx'
);
CREATE INDEX tblklok_tekstid_idx ON tblklok (tekstid);

-- ---------------------------------------------------------------------------
-- Programmes, rubrics and publishing

CREATE TABLE tblzenders (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT ''
);

-- Each rubric exists twice under one id: the working copy (onair false) and
-- the on-air copy (onair true).  txt: text ids, each followed by U+00FF.
CREATE TABLE tblrubriek (
    id             serial,
    naam           text NOT NULL DEFAULT '',
    onair          boolean NOT NULL DEFAULT false,
    txt            text DEFAULT '',
    paginacount    integer NOT NULL DEFAULT 0,
    onderwerpcount integer NOT NULL DEFAULT 0,
    PRIMARY KEY (id, onair)
);

CREATE TABLE tblzenderrubriek (
    zender      integer NOT NULL,
    rubriek     integer NOT NULL
);
CREATE INDEX tblzenderrubriek_zender_idx ON tblzenderrubriek (zender);
CREATE INDEX tblzenderrubriek_rubriek_idx ON tblzenderrubriek (rubriek);

CREATE TABLE tblrubriektemplate (
    rubriekid   integer NOT NULL,
    templateid  integer NOT NULL
);
CREATE INDEX tblrubriektemplate_rubriekid_idx ON tblrubriektemplate (rubriekid);
CREATE INDEX tblrubriektemplate_templateid_idx ON tblrubriektemplate (templateid);

-- Earlier contents of a rubric copy. Every store of a rubric's content by
-- the client first keeps the content it replaces here when it changes, with
-- the moment of that store (datum "yyyymmdd", tijd "hh:nn:ss") and the user
-- id of the editor who stored; "Vorige inhoud terugzetten" puts the newest
-- different one back with an ordinary store. The newest 50 entries of each
-- rubric copy are kept: a day of busy composing, while the table stays small.
CREATE TABLE tblrubriekhistorie (
    id          serial PRIMARY KEY,
    rubriekid   integer NOT NULL,
    onair       boolean NOT NULL DEFAULT false,
    txt         text DEFAULT '',
    datum       text NOT NULL DEFAULT '',
    tijd        text DEFAULT '',
    wie         integer NOT NULL DEFAULT -1
);
CREATE INDEX tblrubriekhistorie_rubriek_idx ON tblrubriekhistorie (rubriekid, onair, id);

-- Saved rubric selection; rubs is " 12 7 " style (space-separated ids).
CREATE TABLE tbldefaultjoblist (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    rubs        text DEFAULT ' ',
    redactieid  integer NOT NULL DEFAULT -1
);
CREATE INDEX tbldefaultjoblist_redactieid_idx ON tbldefaultjoblist (redactieid);

-- Export template; naam is a file name with extension, settings the
-- definition string of the parameters its target files carry.
CREATE TABLE tblexporttemplate (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    settings    text DEFAULT ''
);

-- Upload target.  "select *": 0 id, 1 naam, 2 module ("Ftp"/"Batch"),
-- 3 settings (value string).
CREATE TABLE tbldoel (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    module      text DEFAULT 'Ftp',
    settings    text DEFAULT ''
);

-- Target file.  "select *": 0 id, 1 naam, 2 localfilename,
-- 3 remotefilename, 4 exporttemplate, 5 rubriekid, 6 settings.
CREATE TABLE tbldoelfile (
    id             serial PRIMARY KEY,
    naam           text NOT NULL DEFAULT '',
    localfilename  text DEFAULT '',
    remotefilename text DEFAULT '',
    exporttemplate integer NOT NULL DEFAULT -1,
    rubriekid      integer NOT NULL DEFAULT -1,
    settings       text DEFAULT ''
);

CREATE TABLE tblnaardoel (
    doelfileid  integer NOT NULL,
    doelid      integer NOT NULL
);
CREATE INDEX tblnaardoel_doelid_idx ON tblnaardoel (doelid);
CREATE INDEX tblnaardoel_doelfileid_idx ON tblnaardoel (doelfileid);

CREATE TABLE tbldoeldepend (
    doelfileid     integer NOT NULL,
    alsodoelfileid integer NOT NULL
);
CREATE INDEX tbldoeldepend_doelfileid_idx ON tbldoeldepend (doelfileid);

-- ---------------------------------------------------------------------------
-- Incoming material

-- Internet source.  The client shows only naam; url is the source's own
-- web site and feed the address of its RSS, Atom or JSON feed, which the server
-- fetches (empty: the source is not imported).  New columns go at the end,
-- because rows are also read by position.
CREATE TABLE tblnet (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    url         text DEFAULT '',
    feed        text DEFAULT '',
    etag        text DEFAULT '',    -- validators of the last whole fetch, for a conditional refresh
    lastmodified text DEFAULT ''
);

CREATE TABLE tblnetinfo (
    id          serial PRIMARY KEY,
    netid       integer NOT NULL DEFAULT -1,
    datum       text NOT NULL DEFAULT '',
    "time"      text DEFAULT '',
    kop         text DEFAULT '',
    body        text DEFAULT '',
    url         text DEFAULT '',
    guid        text,               -- the feed's guid or id, else the link: stored once per source
    bijgewerkt  text DEFAULT ''     -- "yyyymmdd hh:nn:ss" when the source last changed the item, '' never
);
CREATE INDEX tblnetinfo_netid_idx ON tblnetinfo (netid, datum, "time");
CREATE UNIQUE INDEX tblnetinfo_guid_idx ON tblnetinfo (netid, guid);
-- source search: "lower(kop) like '%s%' or lower(body) like '%s%'"
CREATE INDEX tblnetinfo_kop_trgm_idx ON tblnetinfo USING gin (lower(kop) gin_trgm_ops);
CREATE INDEX tblnetinfo_body_trgm_idx ON tblnetinfo USING gin (lower(body) gin_trgm_ops);

-- News-wire item.
CREATE TABLE tblanp (
    id          serial PRIMARY KEY,
    datum       text NOT NULL DEFAULT '',
    "time"      text DEFAULT '',
    kop         text DEFAULT '',
    body        text DEFAULT '',
    rubriek     text DEFAULT '',
    itemid      text                -- the agency's id of the item: stored once
);
CREATE INDEX tblanp_datum_idx ON tblanp (datum);
CREATE UNIQUE INDEX tblanp_itemid_idx ON tblanp (itemid);
CREATE INDEX tblanp_kop_trgm_idx ON tblanp USING gin (lower(kop) gin_trgm_ops);
CREATE INDEX tblanp_body_trgm_idx ON tblanp USING gin (lower(body) gin_trgm_ops);

-- ---------------------------------------------------------------------------
-- Reference data

-- boektype 1 = persons, 2 = organisations.
CREATE TABLE tbladresboek (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    boektype    integer NOT NULL DEFAULT 1
);

-- A contact.  "select * from tblnaw": 0 id, 1 voornaam, 2 naam, 3 straat,
-- 4 postcode, 5 woonplaats, 6 email, 7 url, 8 gebdatum, 9 memo,
-- 10 telefoon, 11 adresboek, 12-15 unused by the client (they keep tussen
-- at position 16), 16 tussen.  telefoon: home, mobile, fax and work number,
-- each followed by U+00FF.  The defaults matter: the display name is built
-- with || and one NULL would blank it.
CREATE TABLE tblnaw (
    id          serial PRIMARY KEY,
    voornaam    text DEFAULT '',
    naam        text DEFAULT '',
    straat      text DEFAULT '',
    postcode    text DEFAULT '',
    woonplaats  text DEFAULT '',
    email       text DEFAULT '',
    url         text DEFAULT '',
    gebdatum    text DEFAULT '',
    memo        text DEFAULT '',
    telefoon    text DEFAULT '',
    adresboek   integer NOT NULL DEFAULT -1,
    functie     text DEFAULT '',
    organisatie text DEFAULT '',
    land        text DEFAULT '',
    aanhef      text DEFAULT '',
    tussen      text DEFAULT ''
);
CREATE INDEX tblnaw_adresboek_idx ON tblnaw (adresboek, naam);
-- address search: "lower(naam) like '%t%' or lower(voornaam) like '%t%'"
CREATE INDEX tblnaw_naam_trgm_idx ON tblnaw USING gin (lower(naam) gin_trgm_ops);
CREATE INDEX tblnaw_voornaam_trgm_idx ON tblnaw USING gin (lower(voornaam) gin_trgm_ops);

-- Place names offered for tblnaw.woonplaats.  The id is there so that the
-- table editor, which needs an integer id first, can maintain the list.
CREATE TABLE tblwoonplaats (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT ''
);

CREATE TABLE tblbioscoop (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT ''
);

CREATE TABLE tblfilm (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    bioscoop    integer NOT NULL DEFAULT -1
);
-- film list: "lower(f.naam) like 'text%'"
CREATE INDEX tblfilm_naam_trgm_idx ON tblfilm USING gin (lower(naam) gin_trgm_ops);

-- One showing; positional insert (filmid, datum, tijd), tijd read as column 2.
CREATE TABLE tblfilmtijden (
    filmid      integer NOT NULL,
    datum       text NOT NULL,
    tijd        text NOT NULL
);
CREATE INDEX tblfilmtijden_filmid_datum_idx ON tblfilmtijden (filmid, datum, tijd);

CREATE TABLE tblpromo (
    id          serial PRIMARY KEY,
    naam        text NOT NULL DEFAULT '',
    kort        text DEFAULT '',
    lang        text DEFAULT ''
);

-- Promo week plan.  The planner only uses the row with datum 0; moment holds
-- 168 promo ids (hour by hour, Monday first), each followed by U+00FF.
CREATE TABLE tblpromoweek (
    datum       integer PRIMARY KEY,
    moment      text DEFAULT ''
);

-- Tables offered by the generic table editor and the column to sort by.
-- Every table named here must have an integer id as its first column.
CREATE TABLE tbltableeditor (
    name        text PRIMARY KEY,
    sortcolumn  text NOT NULL DEFAULT 'id'
);

-- ---------------------------------------------------------------------------
-- Access: the roles and their rights are in privileges.sql, loaded after
-- this file.
