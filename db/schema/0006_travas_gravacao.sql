-- Keys of records whose detail rows are saved wholesale (deleted, then inserted again), as a route's steps
-- or a machine's capacity rows. A save locks its key's row here before it compares what is stored with what
-- its screen loaded, so that two workstations never replace the same rows at once, even rows not stored
-- yet. A key's row is created by its first save and holds nothing else.
CREATE TABLE TRAVA_GRAVACAO (
  TABELA VARCHAR(31) NOT NULL,
  CHAVE VARCHAR(60) NOT NULL,
  CONSTRAINT PK_TRAVA_GRAVACAO PRIMARY KEY (TABELA, CHAVE)
);
