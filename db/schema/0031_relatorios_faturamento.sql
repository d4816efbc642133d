-- The billing report reads the weight customers sent in a period by the invoices' entry time.
CREATE INDEX IDX_NFTIN_DATA_LAN ON NFTIN (DATA_LAN);
