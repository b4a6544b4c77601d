-- The archive benchmark's texts, generated into a database made from the
-- schema: :count texts of 40 to 120 words over three years, reproducible.
-- scripts/bench runs this once into a cluster it keeps under .cache and
-- reuses while this file and sql/schema.sql stay the same.
--
-- Most words are everyday ones; every twentieth is a topic word from a list
-- of 400 (80 subjects, each alone and with four endings), so a subject occurs
-- in a few per cent of the texts, as in a real archive. "<br>" after every
-- eighth word, "<hrt>" at the end, dates over 2024 to 2026. The table's
-- indexes are dropped during the fill and built again from their own
-- definitions, as a bulk load would.
\set ON_ERROR_STOP 1
set maintenance_work_mem = '1GB';
select setseed(0.42);
create temporary table words as
select '{de,het,een,en,van,op,in,met,voor,niet,maar,ook,nog,wel,al,na,bij,om,dat,die,er,is,zijn,wordt,heeft,hebben,moet,kan,gaat,komt,zegt,volgens,vandaag,gisteren,morgen,week,jaar,uur,mensen,nieuwe}'::text[]
         as common,
       array(select t || e
             from unnest('{gemeente,raad,wethouder,burgemeester,college,vergadering,bewoners,wijk,school,leerlingen,ouders,sportpark,voetbal,wedstrijd,trainer,supporters,kampioen,brand,brandweer,politie,ongeluk,fietser,verkeer,rotonde,kruispunt,fietspad,brug,kanaal,haven,markt,winkel,ondernemers,festival,concert,harmonie,kerk,bibliotheek,museum,zorg,ziekenhuis,huisarts,woningen,nieuwbouw,huurders,corporatie,begroting,subsidie,onderzoek,rapport,inwoners,dorp,provincie,natuur,bos,windmolen,zonnepark,energie,water,dijk,storm,jubileum,vrijwilligers,buurthuis,jongeren,ouderen,fietsbrug,zwaluwkanaal,stationsweg,a28,n348,veenendorp,oosterwijk,zwaluwstad,carnaval,kermis,molen,station,asielzoekers,camping}'::text[]) t,
                  unnest('{"",plan,debat,nieuws,zaak}'::text[]) e) as topics;
create temporary table idx as
select indexname, indexdef from pg_indexes
where schemaname = 'public' and tablename = 'tblteksten' and indexname <> 'tblteksten_pkey';
select format('drop index %I', indexname) from idx \gexec
insert into tblteksten (kop, body, datum, tijd, agendaid)
select 'Bericht ' || g, b.body, to_char(date '2024-01-01' + (g::bigint * 7919 % 1096)::int, 'YYYYMMDD'), '12:00', -1
from generate_series(1, :count) g,
     lateral (select string_agg(case when (k + g) % 20 = 0
                                     then w.topics[1 + floor(random() * array_length(w.topics, 1))::int]
                                     else w.common[1 + floor(random() * array_length(w.common, 1))::int] end
                                || case when k % 8 = 0 then '<br>' else ' ' end, '' order by k) || '<hrt>' as body
              from generate_series(1, 40 + g % 81) k, words w) b;
select indexdef from idx \gexec
vacuum analyze tblteksten;
