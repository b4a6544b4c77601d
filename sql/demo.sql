-- Quillon demo newsroom: the desk of a local broadcaster in the fictional
-- town of Zwaluwstad, with a news team and a sports team.
--
-- Load after schema.sql into the same, otherwise empty, database:
--     psql -v ON_ERROR_STOP=1 -d quillon -f sql/demo.sql
-- All dates are relative to the day of loading, so the agenda, production
-- list, clocks and film week are current whenever the demo is set up.
-- Holds no backslashes, so it loads whatever standard_conforming_strings is.
--
-- Editors (login / password / rights):
--   marieke / kievitpolder47  -x--------------  administrator (Nieuws)
--   joost   / merelhaag82     x---------------  may take the final-editor role (Nieuws, Sport)
--   sanne   / reigersloot36   x---------------  may take the final-editor role (Nieuws)
--   fatima  / eksterduin51    ----------------  (Nieuws)
--   pieter  / buizerdheide29  ----------------  (Sport)
--   daan    / spreeuwdak64    ----------------  (Sport)
-- The passwords are loaded as plain text; the server stores each as a hash
-- at that editor's first log-in.

SET client_encoding = 'UTF8';
SET client_min_messages = warning;

BEGIN;

-- Helpers for this load only (pg_temp vanishes with the session).

-- A date n days from today as "yyyymmdd".
CREATE FUNCTION pg_temp.dag(n integer) RETURNS text
    LANGUAGE sql STABLE AS $$ SELECT to_char(current_date + n, 'YYYYMMDD') $$;

-- The field separator of list strings.
CREATE FUNCTION pg_temp.ff() RETURNS text
    LANGUAGE sql IMMUTABLE AS $$ SELECT chr(255) $$;

-- One clock: from day van to day tot (relative to today), daily between
-- intijd and uittijd, on the weekdays of dagen (Monday first).
CREATE FUNCTION pg_temp.klok(van integer, tot integer,
                             intijd text DEFAULT '00:00:00',
                             uittijd text DEFAULT '23:59:59',
                             dagen text DEFAULT 'xxxxxxx') RETURNS text
    LANGUAGE sql STABLE AS $$
    SELECT pg_temp.dag(van) || chr(255) || pg_temp.dag(tot) || chr(255)
        || '00:00:00' || chr(255) || '23:59:59' || chr(255)
        || intijd || chr(255) || uittijd || chr(255) || dagen || chr(255)
$$;

-- The editor's stored form of a text: paragraphs separated by "|" become
-- hard returns ("<hrt>"), and each paragraph is wrapped at about `breedte`
-- characters into display lines ending in "<br>".  The space at a wrap stays
-- on the line, since reading the stored form drops the tag and nothing else.
CREATE FUNCTION pg_temp.tekst(src text, breedte integer DEFAULT 38) RETURNS text
    LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    pars text[] := string_to_array(src, '|');
    w    text;
    line text;
    res  text := '';
BEGIN
    FOR i IN 1 .. coalesce(array_length(pars, 1), 0) LOOP
        line := '';
        FOREACH w IN ARRAY regexp_split_to_array(trim(pars[i]), ' +') LOOP
            IF line <> '' AND length(line) + length(w) > breedte THEN
                res := res || line || '<br>';
                line := '';
            END IF;
            line := line || w || ' ';
        END LOOP;
        res := res || rtrim(line)
                   || CASE WHEN i < array_length(pars, 1) THEN '<hrt>' ELSE '<br>' END;
    END LOOP;
    RETURN res;
END
$$;

-- Start of the current film week: the Thursday on or before today on Friday
-- and Saturday, else the Thursday on or after today.
CREATE FUNCTION pg_temp.filmweek() RETURNS date
    LANGUAGE sql STABLE AS $$
    SELECT CASE WHEN extract(isodow FROM current_date) IN (5, 6)
                THEN current_date - (extract(isodow FROM current_date)::integer - 4)
                ELSE current_date + (4 - extract(dow FROM current_date)::integer) END
$$;

-- ---------------------------------------------------------------------------
-- Editors and teams

INSERT INTO tbluser (userid, loginnaam, password, rights) VALUES
    (1, 'marieke', 'kievitpolder47',  '-x--------------'),
    (2, 'joost',   'merelhaag82',     'x---------------'),
    (3, 'sanne',   'reigersloot36',   'x---------------'),
    (4, 'fatima',  'eksterduin51',    '----------------'),
    (5, 'pieter',  'buizerdheide29',  '----------------'),
    (6, 'daan',    'spreeuwdak64',    '----------------');

-- Colours in blue-green-red order: Nieuws a deep blue, Sport a green.
INSERT INTO tblredactie (id, naam, image, color) VALUES
    (1, 'Nieuws', 0, 'A05A1E'),
    (2, 'Sport',  1, '3C9628');

INSERT INTO tblredactieuser VALUES
    (1, 1), (1, 2), (1, 3), (1, 4),
    (2, 2), (2, 5), (2, 6);

-- ---------------------------------------------------------------------------
-- Templates: goals (parent -1) and their possibilities.

INSERT INTO tbltemplate (id, naam, content, editor, initial, parent) VALUES
    (1, 'Nieuws',
        'merge:Basisvelden',
        'usememo=no;font=Arial;size=14;width=480;pagelength=12;',
        'startdate=0;enddate=2;setkop=$agendakop$;',
        -1),
    (2, 'Sport',
        'merge:Basisvelden',
        'usememo=no;font=Arial;size=14;width=480;pagelength=12;',
        'startdate=0;enddate=3;setkop=$agendakop$;',
        -1),
    (3, 'Kort bericht',
        'edit:bron:Bron:"":checkbox:spoed:Spoedbericht:"false":merge:Basisvelden',
        'usememo=no;font=Arial;size=14;width=480;pagelength=12;',
        'startdate=0;enddate=2;setkop=$agendakop$;',
        1),
    (4, 'Achtergrond',
        'edit:bron:Bron:"":memo:notities:Notities voor de presentator:"":date:publicatie:Publicatiedatum:"":merge:Basisvelden',
        'usememo=no;font=Arial;size=14;width=480;pagelength=12;',
        'enddate=6;setkop=$agendakop$;addbody=Inleiding: <hrt><hrt>;',
        1),
    (5, 'Verkeer',
        'combobox:soort:Soort hinder:"Wegwerkzaamheden:Ongeval:Evenement:Omleiding":edit:weg:Weg of straat:"":checkbox:spoed:Spoedbericht:"false"',
        'usememo=no;font=Arial;size=14;width=480;pagelength=12;',
        'warning=Vermeld altijd de omleidingsroute.;intime=06:00:00;outtime=22:00:00;enddate=0;setkop=Verkeer: $agendakop$;',
        1),
    (6, 'Uitslagen',
        'combobox:sport:Sport:"Voetbal:Hockey:Handbal:Volleybal:Korfbal":edit:competitie:Competitie:"":merge:Basisvelden',
        'usememo=no;font="Courier New";size=12;width=480;pagelength=14;',
        'startdate=0;enddate=1;requestkop=Welke competitie?;',
        2),
    (7, 'Wedstrijdverslag',
        'edit:thuis:Thuisploeg:"":edit:uit:Uitploeg:"":edit:stand:Eindstand:"":time:aftrap:Aftrap:"":merge:Basisvelden',
        'usememo=no;font=Arial;size=14;width=480;pagelength=12;',
        'startdate=0;enddate=2;setkop=$agendakop$;',
        2),
    (8, 'Website artikel',
        'edit:bron:Bron:"":comboboxdblookup:programma:Ook in programma:"select id,naam from tblzenders order by naam":edit:foto:Foto (bestandsnaam):"":merge:Basisvelden',
        'usememo=yes;font=Verdana;size=10;width=-1;pagelength=40;',
        'startdate=0;enddate=13;setkop=$agendakop$;',
        1),
    -- Pulled into other definitions with "merge"; offered to no team.
    (9, 'Basisvelden',
        'info:Controleer naam en functie van geïnterviewden:edit:auteur:Auteur:""',
        '',
        '',
        -1);

INSERT INTO tblredactietemplate VALUES
    (1, 1), (2, 2), (2, 1);

-- ---------------------------------------------------------------------------
-- Programmes and rubrics (working and on-air copy under one id)

INSERT INTO tblzenders (id, naam) VALUES
    (1, 'Kabelkrant'),
    (2, 'Website');

INSERT INTO tblrubriek (id, naam, onair)
SELECT r.id, r.naam, c.onair
FROM (VALUES (1, 'Nieuws'), (2, 'Sport'), (3, 'Agenda'), (4, 'Weer en verkeer'),
             (5, 'Voorpagina'), (6, 'Sport online')) AS r (id, naam),
     (VALUES (false), (true)) AS c (onair);

INSERT INTO tblzenderrubriek VALUES
    (1, 1), (1, 2), (1, 3), (1, 4),
    (2, 5), (2, 6);

INSERT INTO tblredactierubriek VALUES
    (1, 1), (1, 2), (2, 1);

INSERT INTO tblredpubrub VALUES
    (1, 1), (1, 2), (2, 1);

INSERT INTO tblrubriektemplate VALUES
    (1, 3), (1, 4), (1, 1),
    (2, 6), (2, 7), (2, 2),
    (3, 3),
    (4, 3), (4, 5),
    (5, 8), (5, 4),
    (6, 8), (6, 7);

INSERT INTO tbldefaultjoblist (id, naam, rubs, redactieid) VALUES
    (1, 'Hele kabelkrant', ' 1 2 3 4 ', 1),
    (2, 'Website',         ' 5 6 ',     1),
    (3, 'Alleen sport',    ' 2 6 ',     2);

-- ---------------------------------------------------------------------------
-- Publishing targets

-- The export templates are files of the server's template folder (the demo's
-- is sql/exporttemplates): a plain-text page file for the cable newspaper and
-- an XML rundown for the website. The demo's targets copy the files through
-- "Batch" into folders below the server's output folder (Batch commands run
-- there), so publishing works on any machine.
INSERT INTO tblexporttemplate (id, naam, settings) VALUES
    (1, 'kabelkrant.txt', 'edit:titel:Paginatitel:"":edit:kleur:Achtergrondkleur:"800000":edit:duur:Seconden per pagina:"12"'),
    (2, 'rubriek.xml', 'edit:naam:Scripttitel:"":edit:opener:Opener script:""');

INSERT INTO tbldoel (id, naam, module, settings) VALUES
    (1, 'Kabelkrant playout', 'Batch', 'command:"cp %f doel/kabelkrant/"'),
    (2, 'Webserver',          'Batch', 'command:"cp %f doel/website/"');

INSERT INTO tbldoelfile (id, naam, localfilename, remotefilename, exporttemplate, rubriekid, settings) VALUES
    (1, 'Kabelkrant nieuws',  'kk_nieuws.txt',  'nieuws.txt',  1, 1, 'titel:"Nieuws":kleur:"800000":duur:"12"'),
    (2, 'Kabelkrant sport',   'kk_sport.txt',   'sport.txt',   1, 2, 'titel:"Sport":kleur:"006000":duur:"12"'),
    (3, 'Kabelkrant agenda',  'kk_agenda.txt',  'agenda.txt',  1, 3, 'titel:"Uit in Zwaluwstad":kleur:"600060":duur:"10"'),
    (4, 'Kabelkrant weer',    'kk_weer.txt',    'weer.txt',    1, 4, 'titel:"Weer en verkeer":kleur:"404040":duur:"10"'),
    (5, 'Website voorpagina', 'web_index.xml', 'index.xml',  2, 5, 'naam:"Voorpagina":opener:"index"'),
    (6, 'Website sport',      'web_sport.xml', 'sport.xml',  2, 6, 'naam:"Sport":opener:"sport"');

INSERT INTO tblnaardoel VALUES
    (1, 1), (2, 1), (3, 1), (4, 1),
    (5, 2), (6, 2);

-- The front page links to the sports page, so it goes along.
INSERT INTO tbldoeldepend VALUES
    (5, 6);

-- ---------------------------------------------------------------------------
-- Reference data: address books, places

INSERT INTO tblwoonplaats (naam) VALUES
    ('Zwaluwstad'), ('De Hoek'), ('Oosterwijk'), ('Veenendorp'), ('Arnhem'),
    ('Nijmegen'), ('Utrecht'), ('Zwolle');

INSERT INTO tbladresboek (id, naam, boektype) VALUES
    (1, 'Personen',     1),
    (2, 'Organisaties', 2);

-- telefoon: home, mobile, fax, work; each followed by the separator.
INSERT INTO tblnaw (id, voornaam, tussen, naam, straat, postcode, woonplaats, gebdatum,
                    email, url, memo, telefoon, adresboek) VALUES
    (1, 'Hanneke', 'van der', 'Berg', 'Raadhuisplein 1', '7411 AA', 'Zwaluwstad', '19680412',
        'h.vanderberg@zwaluwstad.example', '', 'Burgemeester. Persmoment op maandag om 10:00 uur.',
        '' || pg_temp.ff() || '06-12345678' || pg_temp.ff() || '' || pg_temp.ff() || '0570-123400' || pg_temp.ff(), 1),
    (2, 'Erik', '', 'Smit', 'Kerkstraat 14', '7412 BC', 'Zwaluwstad', '19751103',
        'erik.smit@example.nl', '', 'Wethouder verkeer en ruimtelijke ordening.',
        '0570-612233' || pg_temp.ff() || '06-23456789' || pg_temp.ff() || '' || pg_temp.ff() || '0570-123455' || pg_temp.ff(), 1),
    (3, 'Yusuf', '', 'Demir', 'Lindelaan 3', '7415 KL', 'Oosterwijk', '19820127',
        'y.demir@example.nl', '', 'Voorzitter wijkraad Oosterpark.',
        '' || pg_temp.ff() || '06-34567890' || pg_temp.ff() || '' || pg_temp.ff() || '' || pg_temp.ff(), 1),
    (4, 'Annelies', 'de', 'Vries', 'Sportlaan 22', '7413 SP', 'Zwaluwstad', '19790918',
        'secretariaat@vvzwaluwen.example', 'www.vvzwaluwen.example', 'Secretaris VV Zwaluwen.',
        '0570-645566' || pg_temp.ff() || '06-45678901' || pg_temp.ff() || '' || pg_temp.ff() || '' || pg_temp.ff(), 1),
    (5, 'Karel', '', 'Jansen', 'Brinkweg 7', '7421 DH', 'De Hoek', '19600305',
        'k.jansen@example.nl', '', 'Trainer SV De Hoek, liefst na 18:00 bellen.',
        '0570-701122' || pg_temp.ff() || '06-56789012' || pg_temp.ff() || '' || pg_temp.ff() || '' || pg_temp.ff(), 1),
    (6, 'Marloes', '', 'Koç', 'Havenkade 9', '7411 HK', 'Zwaluwstad', '',
        'marloes@atelierkoc.example', 'www.atelierkoc.example', 'Organisatie kunstroute.',
        '' || pg_temp.ff() || '06-67890123' || pg_temp.ff() || '' || pg_temp.ff() || '' || pg_temp.ff(), 1),
    (7, 'Afdeling communicatie', '', 'Gemeente Zwaluwstad', 'Raadhuisplein 1', '7411 AA', 'Zwaluwstad', '',
        'communicatie@zwaluwstad.example', 'www.zwaluwstad.example', 'Persberichten dagelijks voor 11:00 uur.',
        '' || pg_temp.ff() || '' || pg_temp.ff() || '0570-123499' || pg_temp.ff() || '0570-123456' || pg_temp.ff(), 2),
    (8, 'Woordvoerder', '', 'Politie team Zwaluwstad', 'Stationsweg 40', '7412 PL', 'Zwaluwstad', '',
        'pers.zwaluwstad@politie.example', '', 'Buiten kantoortijd via de meldkamer.',
        '' || pg_temp.ff() || '06-78901234' || pg_temp.ff() || '' || pg_temp.ff() || '0900-8844' || pg_temp.ff(), 2),
    (9, 'Brandweercommandant', '', 'Brandweer Zwaluwstad', 'Industrieweg 2', '7418 BR', 'Zwaluwstad', '',
        'kazerne@brandweer-zwaluwstad.example', '', 'Open dag in voorbereiding.',
        '' || pg_temp.ff() || '' || pg_temp.ff() || '' || pg_temp.ff() || '0570-655000' || pg_temp.ff(), 2),
    (10, 'Bestuur', '', 'Harmonie Sint Caecilia', 'Muziekhof 5', '7414 MH', 'Veenendorp', '',
        'bestuur@caecilia.example', 'www.caecilia.example', '125-jarig jubileum dit jaar.',
        '' || pg_temp.ff() || '' || pg_temp.ff() || '' || pg_temp.ff() || '0570-660101' || pg_temp.ff(), 2);

-- ---------------------------------------------------------------------------
-- Planning: repeating items

-- dagen: Sunday first.
INSERT INTO tblagendaherhaal (id, kort, redactie, dagen) VALUES
    (1, 'Politieberichten van de dag',       1, 'xxxxxxx'),
    (2, 'Persmoment burgemeester',           1, '-x-----'),
    (3, 'Spreekuur wethouder Smit',          1, '---x---'),
    (4, 'Weekmarkt Zwaluwstad',              1, '------x'),
    (5, 'Sportagenda van de dag',            2, 'xxxxxxx'),
    (6, 'Jeugdtraining VV Zwaluwen',         2, '--x-x--');

INSERT INTO tbltodoherhaal (id, kort, wie, redactie, dagen, klaar) VALUES
    (1, 'Weerbericht',             '',       1, 'xxxxxxx', false),
    (2, 'Uitgaanstips',            'fatima', 1, 'xxxxxxx', true),
    (3, 'Sport in het kort',       'daan',   2, '-xxxxx-', false),
    (4, 'Uitslagen van het weekend', 'pieter', 2, 'x-----x', false);

-- ---------------------------------------------------------------------------
-- Planning: agenda items

INSERT INTO tblagenda (id, kort, lang, datum, tijd, redactie, datuminvoer, herhaal,
                       invoerdoor, followup, bron) VALUES
    (1, 'Raad beslist over nieuwe fietsbrug',
        'De gemeenteraad stemt vanavond over het krediet voor de fietsbrug over het Zwaluwkanaal. Stemming rond 21:30 verwacht.',
        pg_temp.dag(0), '19:30', 1, pg_temp.dag(-6), -1, 1, -1, 'Raadsagenda gemeente Zwaluwstad'),
    (2, 'Opening vernieuwde bibliotheek',
        'Wethouder opent om 10:00 de verbouwde bibliotheek aan het Marktplein; rondleiding voor de pers.',
        pg_temp.dag(0), '10:00', 1, pg_temp.dag(-4), -1, 3, -1, 'Persbericht Bibliotheek Zwaluwstad'),
    (3, 'Afsluiting Stationsweg door werkzaamheden',
        'Stationsweg tot vrijdag dicht tussen rotonde en spoorovergang. Omleiding via de Industrieweg.',
        pg_temp.dag(0), '06:00', 1, pg_temp.dag(-2), -1, 4, -1, 'Gemeente, afdeling verkeer'),
    (4, 'Wijkavond Oosterpark over speelplaatsen',
        'Bewoners praten mee over de herinrichting van drie speelplaatsen. Contact: Yusuf Demir.',
        pg_temp.dag(0), '20:00', 1, pg_temp.dag(-3), -1, 3, -1, 'Wijkraad Oosterpark'),
    (5, 'Voorbeschouwing derby VV Zwaluwen - SV De Hoek',
        'Zondag de derby; trainers Jansen en de selectie van VV Zwaluwen willen vandaag praten.',
        pg_temp.dag(0), '14:30', 2, pg_temp.dag(-5), -1, 5, -1, 'Eigen waarneming'),
    (6, 'Uitslagen amateurvoetbal',
        'Uitslagen en standen van de clubs uit de regio.',
        pg_temp.dag(0), '09:00', 2, pg_temp.dag(-1), -1, 6, -1, ''),
    (7, 'Provincie presenteert begroting',
        'Gedeputeerde licht de begroting toe; geld voor de N-weg bij Veenendorp?',
        pg_temp.dag(1), '11:00', 1, pg_temp.dag(-2), -1, 1, -1, 'Persuitnodiging provincie'),
    (8, 'Kunstroute langs twintig ateliers',
        'Het hele weekend open ateliers in de binnenstad. Organisatie: Marloes Koç.',
        pg_temp.dag(2), '12:00', 1, pg_temp.dag(-8), -1, 4, -1, 'Mail van atelier Koç'),
    (9, 'Informatieavond windmolens De Hoek',
        'Initiatiefnemers en gemeente lichten de plannen voor vier windmolens toe in dorpshuis De Hoek.',
        pg_temp.dag(2), '19:30', 1, pg_temp.dag(-1), -1, 3, -1, 'Huis-aan-huisblad'),
    (10, 'Reacties op besluit fietsbrug',
        'Vervolg op de raadsvergadering: reacties van omwonenden en de fietsersbond.',
        pg_temp.dag(1), '10:00', 1, pg_temp.dag(0), -1, 1, 1, 'Vervolg op raadsvergadering'),
    (11, 'Jubileumconcert harmonie Sint Caecilia',
        '125 jaar harmonie; concert in de Grote Kerk met oud-leden.',
        pg_temp.dag(4), '20:00', 1, pg_temp.dag(-10), -1, 4, -1, 'Brief van het bestuur'),
    (12, 'Open dag brandweerkazerne',
        'Demonstraties, kinderbrandweer en de nieuwe hoogwerker.',
        pg_temp.dag(6), '10:00', 1, pg_temp.dag(-7), -1, 3, -1, 'Brandweer Zwaluwstad'),
    (13, 'Persconferentie nieuwe trainer HV Zwaluwen',
        'De hockeyclub stelt de nieuwe hoofdtrainer voor.',
        pg_temp.dag(1), '16:00', 2, pg_temp.dag(-2), -1, 6, -1, 'Mail HV Zwaluwen'),
    (14, 'Start zwemvierdaagse',
        'Vier avonden zwemmen in het openluchtbad; ruim 600 deelnemers.',
        pg_temp.dag(3), '18:00', 2, pg_temp.dag(-9), -1, 5, -1, 'Zwembad De Spetter'),
    (15, 'Halve marathon: afsluitingen en uitslagen',
        'Parcours door centrum en De Hoek. Verkeersmaatregelen vooraf melden.',
        pg_temp.dag(5), '11:00', 2, pg_temp.dag(-12), -1, 6, -1, 'Organisatie halve marathon'),
    (16, 'Brand in loods op bedrijventerrein',
        'Grote brand gisteravond in een leegstaande loods; geen gewonden.',
        pg_temp.dag(-1), '22:15', 1, pg_temp.dag(-1), -1, 3, -1, 'Melding brandweer'),
    (17, 'Wielerronde van Zwaluwstad',
        'Profs en amateurs in de traditionele ronde door de binnenstad.',
        pg_temp.dag(-1), '13:00', 2, pg_temp.dag(-14), -1, 5, -1, 'Wielerclub De Zwaluw'),
    -- the daily police round taken up yesterday
    (18, 'Politieberichten van de dag',
        '', pg_temp.dag(-1), '08:00', 1, pg_temp.dag(-1), 1, 4, -1, '');

-- Production list: 1 and 5 are being written, 2, 3 and 6 are ready; 4 was
-- never taken up.  Yesterday's items are all ready.
INSERT INTO tbltodo (id, agendaid, datum, klaar, redactie, wie) VALUES
    (1, 1, pg_temp.dag(0), false, 1, 'sanne'),
    (2, 2, pg_temp.dag(0), true,  1, 'fatima'),
    (3, 3, pg_temp.dag(0), true,  1, 'marieke'),
    (4, 5, pg_temp.dag(0), false, 2, 'pieter'),
    (5, 6, pg_temp.dag(0), true,  2, 'daan'),
    (6, 16, pg_temp.dag(-1), true, 1, 'sanne'),
    (7, 17, pg_temp.dag(-1), true, 2, 'pieter'),
    (8, 18, pg_temp.dag(-1), true, 1, 'fatima');

INSERT INTO tblagendanaw VALUES
    (1, 2), (1, 7), (4, 3), (5, 4), (5, 5), (8, 6), (11, 10), (12, 9), (16, 8);

-- ---------------------------------------------------------------------------
-- Text versions

INSERT INTO tblteksten (id, agendaid, template, kop, body, extra, datum, tijd, wie, klok) VALUES
    (1, 1, 3, 'Raad beslist vanavond over fietsbrug',
        pg_temp.tekst('De gemeenteraad van Zwaluwstad neemt vanavond een besluit over de fietsbrug over het Zwaluwkanaal.|De brug moet 4,2 miljoen euro kosten. Een meerderheid lijkt voor, maar omwonenden van de Kanaalstraat vrezen overlast.|De stemming wordt rond half tien verwacht.'),
        'bron:"Raadsagenda":spoed:"false":auteur:"sanne"',
        pg_temp.dag(0), '09:12', 3, pg_temp.klok(0, 1)),
    (2, 2, 3, 'Bibliotheek weer open na verbouwing',
        pg_temp.tekst('De bibliotheek aan het Marktplein is vanochtend heropend. Na een verbouwing van acht maanden is er een leescafé en een werkplek voor scholieren.|Wethouder Smit knipte het lint door.'),
        'bron:"Persbericht":spoed:"false":auteur:"fatima"',
        pg_temp.dag(0), '10:48', 4, pg_temp.klok(0, 3)),
    (3, 2, 8, 'Vernieuwde bibliotheek: leescafé en studieplekken',
        pg_temp.tekst('Na acht maanden verbouwen is de bibliotheek aan het Marktplein weer open. Bezoekers kunnen terecht in een leescafé, er zijn veertig studieplekken en de jeugdafdeling is verdubbeld.|"We willen de huiskamer van de stad zijn", zegt directeur Ria Hoekstra.|De bibliotheek is voortaan ook op zondagmiddag open.', 60),
        'bron:"Persbericht":programma:"2":foto:"bieb_opening.jpg":auteur:"fatima"',
        pg_temp.dag(0), '11:05', 4, pg_temp.klok(0, 13)),
    (4, 3, 5, 'Verkeer: Stationsweg tot vrijdag dicht',
        pg_temp.tekst('De Stationsweg is tot en met vrijdag afgesloten tussen de rotonde en de spoorovergang.|Verkeer wordt omgeleid via de Industrieweg. Fietsers kunnen langs de werkzaamheden.'),
        'soort:"Wegwerkzaamheden":weg:"Stationsweg":spoed:"false"',
        pg_temp.dag(0), '06:20', 1, pg_temp.klok(0, 4, '06:00:00', '22:00:00')),
    (5, 5, 7, 'Derby lonkt: Zwaluwen tegen De Hoek',
        pg_temp.tekst('Zondag staat de derby tussen VV Zwaluwen en SV De Hoek op het programma.|Trainer Karel Jansen van De Hoek: "Wij hebben niets te verliezen."'),
        'thuis:"VV Zwaluwen":uit:"SV De Hoek":stand:"":aftrap:"14:30:00":auteur:"pieter"',
        pg_temp.dag(0), '12:40', 5, pg_temp.klok(0, 3)),
    (6, 6, 6, 'Uitslagen amateurvoetbal',
        pg_temp.tekst('VV Zwaluwen - Oosterwijk 2-1|SV De Hoek - Veenendorp 0-0|Sportclub Noord - DOS 3-3|Zwaluwen is na deze ronde koploper.', 32),
        'sport:"Voetbal":competitie:"Eerste klasse":auteur:"daan"',
        pg_temp.dag(0), '09:30', 6, pg_temp.klok(0, 2)),
    (7, 16, 3, 'Loods op bedrijventerrein uitgebrand',
        pg_temp.tekst('Een leegstaande loods op het bedrijventerrein aan de Industrieweg is gisteravond uitgebrand.|De brandweer had het vuur na twee uur onder controle. Er raakte niemand gewond.|De politie onderzoekt de oorzaak.'),
        'bron:"Brandweer":spoed:"true":auteur:"sanne"',
        pg_temp.dag(-1), '23:05', 3, pg_temp.klok(-1, 1)),
    (8, 16, 8, 'Grote brand in loods Industrieweg',
        pg_temp.tekst('Een leegstaande loods aan de Industrieweg is gisteravond volledig uitgebrand. Omwonenden werden gewaarschuwd via NL-Alert vanwege de rook.|De brandweer spreekt van een zeer grote brand. Niemand raakte gewond. De politie sluit brandstichting niet uit.', 60),
        'bron:"Brandweer":programma:"2":foto:"brand_loods.jpg":auteur:"sanne"',
        pg_temp.dag(-1), '23:20', 3, pg_temp.klok(-1, 6)),
    (9, 17, 7, 'Wielerronde: sprintzege voor thuisrijder',
        pg_temp.tekst('De wielerronde van Zwaluwstad is gewonnen door thuisrijder Bram Visser.|Hij was in een sprint met vijf de snelste.'),
        'thuis:"":uit:"":stand:"":aftrap:"13:00:00":auteur:"pieter"',
        pg_temp.dag(-1), '17:10', 5, pg_temp.klok(-1, 2)),
    (10, 18, 3, 'Politie zoekt getuigen van inbraak',
        pg_temp.tekst('De politie zoekt getuigen van een inbraak in een woning aan de Lindelaan in Oosterwijk.|Wie iets heeft gezien kan bellen met 0900-8844.'),
        'bron:"Politie":spoed:"false":auteur:"fatima"',
        pg_temp.dag(-1), '08:40', 4, '');

-- An older text whose clock still lives in tblklok.
INSERT INTO tblklok (tekstid, startdatum, einddatum, starttijd, eindtijd, intijd, uittijd, dagen) VALUES
    (10, pg_temp.dag(-1), pg_temp.dag(5), '08:00:00', '23:59:59', '07:00:00', '23:00:00', 'xxxxxxx');

-- Archive texts from past months (agendaid -1: their topics are gone).
INSERT INTO tblteksten (id, agendaid, template, kop, body, extra, datum, tijd, wie, klok) VALUES
    (101, -1, 3, 'Eerste plannen voor fietsbrug gepresenteerd',
        pg_temp.tekst('Het college wil een fietsbrug over het Zwaluwkanaal. De brug moet de Kanaalstraat ontlasten.|Omwonenden krijgen een informatieavond.'),
        'bron:"Gemeente":spoed:"false"', pg_temp.dag(-45), '14:02', 3, ''),
    (102, -1, 4, 'Achtergrond: hoe veilig is de Stationsweg?',
        pg_temp.tekst('Op de Stationsweg gebeurden vorig jaar elf ongelukken met fietsers.|De gemeente wil de weg versmallen en een vrijliggend fietspad aanleggen.'),
        'bron:"Eigen onderzoek":notities:"":publicatie:"":auteur:"marieke"', pg_temp.dag(-120), '16:30', 1, ''),
    (103, -1, 6, 'Uitslagen amateurvoetbal',
        pg_temp.tekst('VV Zwaluwen - SV De Hoek 1-1|Oosterwijk - DOS 2-0', 32),
        'sport:"Voetbal":competitie:"Eerste klasse"', pg_temp.dag(-200), '18:15', 6, ''),
    (104, -1, 3, 'Harmonie zoekt nieuwe leden',
        pg_temp.tekst('Harmonie Sint Caecilia uit Veenendorp zoekt blazers en slagwerkers voor het jubileumjaar.'),
        'bron:"Harmonie":spoed:"false"', pg_temp.dag(-300), '11:45', 4, ''),
    -- dated 1999-2001: the viewer reads these from their year's table
    (201, -1, 3, 'Gemeente kiest voor brug over kanaal',
        pg_temp.tekst('De gemeenteraad heeft ingestemd met een verkeersbrug over het Zwaluwkanaal. De bouw begint in het voorjaar.'),
        '', '20000314', '12:10', 1, ''),
    (202, -1, 3, 'Bibliotheek verhuist naar Marktplein',
        pg_temp.tekst('De bibliotheek krijgt een nieuw onderkomen in het oude postkantoor aan het Marktplein.'),
        '', '20000922', '15:30', 1, ''),
    (203, -1, 3, 'VV Zwaluwen kampioen',
        pg_temp.tekst('VV Zwaluwen is kampioen geworden na een 3-0 zege op SV De Hoek. Duizend supporters vierden feest op het Marktplein.'),
        '', '19990516', '17:45', 2, ''),
    (204, -1, 3, 'Eerste windmolen bij De Hoek',
        pg_temp.tekst('Bij De Hoek draait sinds vandaag de eerste windmolen van de gemeente.'),
        '', '20011108', '10:05', 2, '');

INSERT INTO tblteksten_1999 SELECT * FROM tblteksten WHERE datum LIKE '1999%';
INSERT INTO tblteksten_2000 SELECT * FROM tblteksten WHERE datum LIKE '2000%';
INSERT INTO tblteksten_2001 SELECT * FROM tblteksten WHERE datum LIKE '2001%';

INSERT INTO tblagendaarchief VALUES
    (1, 101), (1, 201), (3, 102), (10, 1), (11, 104);

-- Pages as the editor counts them: display lines over the template's page
-- length.
UPDATE tblteksten t
SET paginacount = ((length(t.body) - length(replace(t.body, '<br>', ''))) / 4
                 + (length(t.body) - length(replace(t.body, '<hrt>', ''))) / 5 - 1)
                / coalesce(substring(tp.editor FROM 'pagelength=([0-9]+)')::integer, 12) + 1
FROM tbltemplate tp
WHERE tp.id = t.template;

UPDATE tblteksten_1999 a SET paginacount = t.paginacount FROM tblteksten t WHERE t.id = a.id;
UPDATE tblteksten_2000 a SET paginacount = t.paginacount FROM tblteksten t WHERE t.id = a.id;
UPDATE tblteksten_2001 a SET paginacount = t.paginacount FROM tblteksten t WHERE t.id = a.id;

-- ---------------------------------------------------------------------------
-- Rubric contents: the working copies hold today's ready texts, the on-air
-- copies what was published yesterday.  The page totals count texts with a
-- clock (text 10 has none in klok, so the cycle shows it as not on air).

UPDATE tblrubriek SET txt = CASE id
        WHEN 1 THEN '2' || pg_temp.ff() || '7' || pg_temp.ff() || '10' || pg_temp.ff()
        WHEN 2 THEN '6' || pg_temp.ff() || '9' || pg_temp.ff()
        WHEN 4 THEN '4' || pg_temp.ff()
        WHEN 5 THEN '3' || pg_temp.ff() || '8' || pg_temp.ff()
        ELSE '' END
WHERE NOT onair;

UPDATE tblrubriek SET txt = CASE id
        WHEN 1 THEN '7' || pg_temp.ff() || '10' || pg_temp.ff()
        WHEN 2 THEN '9' || pg_temp.ff()
        WHEN 5 THEN '8' || pg_temp.ff()
        ELSE '' END
WHERE onair;

UPDATE tblrubriek r
SET onderwerpcount = s.n, paginacount = s.pages
FROM (SELECT r2.id, r2.onair, count(t.id) AS n,
             coalesce(sum(t.paginacount) FILTER (WHERE t.klok <> ''), 0) AS pages
      FROM tblrubriek r2
      LEFT JOIN LATERAL unnest(string_to_array(rtrim(r2.txt, chr(255)), chr(255))) AS u (tid) ON true
      LEFT JOIN tblteksten t ON t.id::text = u.tid
      GROUP BY r2.id, r2.onair) s
WHERE s.id = r.id AND s.onair = r.onair;

-- ---------------------------------------------------------------------------
-- Incoming material

-- The feeds are files that scripts/demo serves on 127.0.0.1:55480 (it
-- rewrites the port when QUILLON_DEMO_FEEDPORT chooses another).
INSERT INTO tblnet (id, naam, url, feed) VALUES
    (1, 'Gemeente Zwaluwstad', 'https://www.zwaluwstad.example/nieuws', 'http://127.0.0.1:55480/gemeente.xml'),
    (2, 'Politie',             'https://www.politie.example/zwaluwstad', 'http://127.0.0.1:55480/politie.xml'),
    (3, 'Provincie',           'https://www.provincie.example/pers', 'http://127.0.0.1:55480/provincie.xml'),
    (4, 'VV Zwaluwen',         'https://www.vvzwaluwen.example/nieuws', 'http://127.0.0.1:55480/vvzwaluwen.xml');

INSERT INTO tblnetinfo (netid, datum, "time", kop, body, url) VALUES
    (1, pg_temp.dag(0),  '08:05', 'Raad stemt over krediet fietsbrug',
        'De raad besluit vanavond over het krediet van 4,2 miljoen euro voor de fietsbrug over het Zwaluwkanaal.',
        'https://www.zwaluwstad.example/nieuws/fietsbrug'),
    (1, pg_temp.dag(-1), '15:40', 'Stationsweg afgesloten voor onderhoud',
        'Van maandag tot en met vrijdag is de Stationsweg afgesloten. Er geldt een omleiding via de Industrieweg.',
        'https://www.zwaluwstad.example/nieuws/stationsweg'),
    (1, pg_temp.dag(-3), '11:00', 'Inspraak speelplaatsen Oosterpark',
        'Bewoners van Oosterpark kunnen meepraten over de herinrichting van drie speelplaatsen.',
        'https://www.zwaluwstad.example/nieuws/oosterpark'),
    (2, pg_temp.dag(0),  '07:30', 'Getuigen gezocht van inbraak Lindelaan',
        'In de nacht van zondag op maandag is ingebroken in een woning aan de Lindelaan in Oosterwijk.',
        'https://www.politie.example/zwaluwstad/lindelaan'),
    (2, pg_temp.dag(-1), '23:50', 'Brand in loods: onderzoek naar oorzaak',
        'De politie doet onderzoek naar de oorzaak van de brand in een loods aan de Industrieweg.',
        'https://www.politie.example/zwaluwstad/brand'),
    (3, pg_temp.dag(-1), '10:15', 'Begroting: extra geld voor fietspaden',
        'De provincie trekt volgend jaar 12 miljoen euro uit voor fietspaden, onder meer langs de N-weg bij Veenendorp.',
        'https://www.provincie.example/pers/begroting'),
    (4, pg_temp.dag(0),  '09:45', 'Selectie bekend voor de derby',
        'Trainer Van Dijk heeft zijn selectie bekendgemaakt voor de derby tegen SV De Hoek.',
        'https://www.vvzwaluwen.example/nieuws/derby');

INSERT INTO tblanp (datum, "time", kop, body, rubriek) VALUES
    (pg_temp.dag(0),  '06:12', 'Files door gladheid in het oosten',
        'Door gladheid staan in het oosten van het land flinke files. Ook in de regio Zwaluwstad is het druk.', 'binnenland'),
    (pg_temp.dag(0),  '09:03', 'Meer geld voor bibliotheken',
        'Het kabinet trekt extra geld uit voor bibliotheken in kleine gemeenten.', 'binnenland'),
    (pg_temp.dag(-1), '21:40', 'Bekerloting: amateurs tegen profclub',
        'Bij de loting voor de beker is een amateurclub uit het oosten gekoppeld aan een profclub.', 'sport'),
    (pg_temp.dag(-2), '14:20', 'Windenergie op land groeit',
        'Het aantal windmolens op land is vorig jaar met tien procent gegroeid.', 'economie');

-- ---------------------------------------------------------------------------
-- Film times for the current film week (Thursday to Wednesday)

INSERT INTO tblbioscoop (id, naam) VALUES
    (1, 'Filmhuis De Lantaarn'),
    (2, 'Cinema Marktplein');

INSERT INTO tblfilm (id, naam, bioscoop) VALUES
    (1, 'De zomer van toen',       1),
    (2, 'Storm over de polder',    2),
    (3, 'Kapitein Knal en de zeerovers', 2),
    (4, 'Het laatste station',     1),
    (5, 'Sterrenstof',             2);

INSERT INTO tblfilmtijden
SELECT t.filmid, to_char(pg_temp.filmweek() + g, 'YYYYMMDD'), t.tijd
FROM (VALUES (1, '20:15'), (2, '19:00'), (2, '21:45'), (4, '20:30'), (5, '21:30')) AS t (filmid, tijd),
     generate_series(0, 6) AS g
WHERE NOT (t.filmid = 4 AND g IN (1, 5));

-- Children's film: afternoons on Wednesday, Saturday and Sunday only.
INSERT INTO tblfilmtijden
SELECT 3, to_char(d, 'YYYYMMDD'), t
FROM generate_series(pg_temp.filmweek(), pg_temp.filmweek() + 6, interval '1 day') AS d,
     unnest(ARRAY['13:30', '15:45']) AS t
WHERE extract(isodow FROM d) IN (3, 6, 7);

-- ---------------------------------------------------------------------------
-- Promo planner

INSERT INTO tblpromo (id, naam, kort, lang) VALUES
    (1, 'Goedemorgen Zwaluwstad', 'Het ochtendprogramma met nieuws, weer en verkeer.',
        pg_temp.tekst('Elke werkdag van 7 tot 10 uur: het laatste nieuws, het weer, de verkeersinformatie en gasten uit de regio.|Presentatie: Joost en Fatima.')),
    (2, 'Middagmagazine', 'Achtergronden en interviews tussen de middag.',
        pg_temp.tekst('Het Middagmagazine praat met de mensen achter het nieuws van vandaag.')),
    (3, 'Sportcafé', 'Alles over de sport in de regio.',
        pg_temp.tekst('Op zaterdag en zondag: uitslagen, verslagen en gasten uit de regionale sport.|Met Pieter en Daan.')),
    (4, 'Uit in de regio', 'Tips voor het weekend.',
        pg_temp.tekst('Concerten, exposities, markten en films: de uitgaanstips voor het weekend.'));

-- Hour by hour from 0:00, Monday to Sunday within each hour.
INSERT INTO tblpromoweek (datum, moment)
SELECT 0, string_agg(
           CASE WHEN d <= 5 AND h BETWEEN 6 AND 9 THEN '1'
                WHEN d <= 5 AND h BETWEEN 11 AND 13 THEN '2'
                WHEN d >= 6 AND h BETWEEN 9 AND 12 THEN '3'
                WHEN d IN (4, 5) AND h BETWEEN 17 AND 20 THEN '4'
                ELSE '0' END || chr(255),
           '' ORDER BY h, d)
FROM generate_series(0, 23) AS h, generate_series(1, 7) AS d;

-- ---------------------------------------------------------------------------
-- Table editor: reference tables without a page of their own

INSERT INTO tbltableeditor (name, sortcolumn) VALUES
    ('tbladresboek',     'naam'),
    ('tblagendaherhaal', 'kort'),
    ('tblnet',           'naam'),
    ('tblredactie',      'naam'),
    ('tbltodoherhaal',   'kort'),
    ('tblwoonplaats',    'naam');

-- ---------------------------------------------------------------------------
-- Move every key sequence past the explicit ids above.

DO $$
DECLARE
    c record;
BEGIN
    FOR c IN SELECT table_name, column_name
             FROM information_schema.columns
             WHERE table_schema = 'public' AND column_default LIKE 'nextval(%'
    LOOP
        IF pg_get_serial_sequence(c.table_name, c.column_name) IS NOT NULL THEN
            EXECUTE format('SELECT setval(%L, coalesce((SELECT max(%I) FROM %I), 0) + 1, false)',
                           pg_get_serial_sequence(c.table_name, c.column_name),
                           c.column_name, c.table_name);
        END IF;
    END LOOP;
END
$$;

COMMIT;
