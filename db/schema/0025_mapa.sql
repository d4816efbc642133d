-- The production map reads and shifts a machine's queue by position: the FALs at a machine position (a
-- clash), the highest position of a machine, and the positions from one on moved down to make room.
CREATE INDEX IDX_FAL_MAQUINA_ORDEM ON FAL (MAQUINA, ORDEM);
