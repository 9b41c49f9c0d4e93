#include "database/central/CentralSchema.h"

#include "common/Failure.h"
#include "database/central/PgConnection.h"

namespace {

// Names are left unquoted, so the server keeps them in lower case and a
// statement typed as on a station ("SELECT Name FROM Data") works unchanged.
const char *const Tables = R"sql(
CREATE TABLE Data (
  ID bigserial PRIMARY KEY,
  Name varchar(40),
  Surname varchar(40),
  Age bigint,
  Gender boolean,
  N bigint,
  M double precision,
  V double precision,
  Items text,
  Field1 varchar(100),
  Field2 varchar(100),
  Field3 varchar(100)
);
CREATE TABLE Sessions (
  UUID uuid NOT NULL UNIQUE,
  DataID bigint NOT NULL,
  Station text,
  DesignPath text,
  DesignSHA256 text,
  StartedUTC timestamptz,
  FinishedUTC timestamptz,
  ProgramVersion text,
  ScreenWidth integer,
  ScreenHeight integer,
  DevicePixelRatio double precision,
  Mode text,
  RefreshRate double precision,
  Compositor smallint,
  ReceivedUTC timestamptz NOT NULL DEFAULT now(),
  SentBy text NOT NULL DEFAULT session_user
);
CREATE INDEX SessionsByDataID ON Sessions (DataID);
CREATE TABLE Presentations (
  SessionUUID uuid NOT NULL,
  Nr integer NOT NULL CHECK (Nr >= 1),
  Task integer NOT NULL CHECK (Task >= 1),
  LevelIndex integer,
  Level integer,
  Efficiency double precision,
  OnsetMs double precision,
  ResponseMs double precision,
  Key text,
  TypedAnswer text,
  Judgement text,
  PRIMARY KEY (SessionUUID, Nr)
);
CREATE TABLE DataEdits (
  ID bigserial PRIMARY KEY,
  DataID bigint NOT NULL,
  EditedBy text NOT NULL DEFAULT session_user,
  Station text,
  EditedUTC timestamptz NOT NULL DEFAULT now(),
  ColumnName text NOT NULL,
  OldValue text,
  NewValue text
);
)sql";

// The one way to change a stored value: checks the column, changes it and
// records who, where, when, and the value before and after, in the same
// transaction. SECURITY DEFINER runs it with the owner's rights; session_user
// stays the person who called it.
const char *const EditFunction = R"sql(
CREATE FUNCTION kalvestrin_edit(data_id bigint, column_name text, new_value text, station text)
RETURNS void LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  column_type text;
  old_value text;
BEGIN
  SELECT format_type(a.atttypid, a.atttypmod) INTO column_type
    FROM pg_attribute a
   WHERE a.attrelid = 'public.data'::regclass AND a.attname = lower(column_name) AND a.attnum > 0
     AND NOT a.attisdropped AND a.attname <> 'id';
  IF column_type IS NULL THEN
    RAISE EXCEPTION 'column % cannot be edited', column_name USING ERRCODE = '42703';
  END IF;
  EXECUTE format('SELECT %I::text FROM public.data WHERE id = $1 FOR UPDATE', lower(column_name))
     INTO old_value USING data_id;
  IF NOT FOUND THEN
    RAISE EXCEPTION 'no row % in Data', data_id USING ERRCODE = '02000';
  END IF;
  EXECUTE format('UPDATE public.data SET %I = $1::%s WHERE id = $2', lower(column_name), column_type)
    USING new_value, data_id;
  INSERT INTO public.dataedits (DataID, EditedBy, Station, ColumnName, OldValue, NewValue)
  VALUES (data_id, session_user, station, lower(column_name), old_value, new_value);
END $$;
)sql";

// Group roles, made once per server (roles belong to the cluster) and granted
// their rights in this database.
const char *const Roles = R"sql(
DO $$
BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kalvestrin_station') THEN
    CREATE ROLE kalvestrin_station NOLOGIN;
  END IF;
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kalvestrin_examiner') THEN
    CREATE ROLE kalvestrin_examiner NOLOGIN;
  END IF;
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kalvestrin_analysis') THEN
    CREATE ROLE kalvestrin_analysis NOLOGIN;
  END IF;
END $$;
REVOKE ALL ON Data, Sessions, Presentations, DataEdits FROM PUBLIC;
REVOKE ALL ON FUNCTION kalvestrin_edit(bigint, text, text, text) FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO kalvestrin_station, kalvestrin_examiner, kalvestrin_analysis;
GRANT SELECT, INSERT ON Data, Sessions, Presentations TO kalvestrin_station;
GRANT USAGE ON SEQUENCE data_id_seq TO kalvestrin_station;
GRANT SELECT ON Data, Sessions, Presentations, DataEdits TO kalvestrin_examiner, kalvestrin_analysis;
GRANT EXECUTE ON FUNCTION kalvestrin_edit(bigint, text, text, text) TO kalvestrin_examiner;
)sql";

} // namespace

void CentralSchema::create(PgConnection &con)
{
    PgConnection::Transaction transaction(con);
    const PgResult tables =
        con.exec(QStringLiteral("SELECT string_agg(table_schema || '.' || table_name, ', ' ORDER BY table_name) "
                                "FROM information_schema.tables WHERE table_schema NOT IN ('pg_catalog', "
                                "'information_schema')"));
    if (!tables.isNull(0, 0))
        throw Failure(QStringLiteral("Baza podataka na poslužitelju %1 nije prazna (tablice: %2); ostavljena je "
                                     "kakva jest.")
                          .arg(con.server(), tables.text(0, 0)));
    con.execScript(QString::fromUtf8(Tables));
    con.execScript(QString::fromUtf8(EditFunction));
    con.execScript(QString::fromUtf8(Roles));
    transaction.commit();
}
