-- A new lot sheet goes to the end of the priority sequence: the highest ORDEM is read on every generation.
CREATE DESCENDING INDEX IDX_FAL_ORDEM ON FAL (ORDEM);
