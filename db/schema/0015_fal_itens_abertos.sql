-- Lot-sheet items not yet invoiced are a few thousand among the years' items: a customer's credit check reads
-- its open sheets from them, instead of walking every sheet the customer ever had.
CREATE INDEX IDX_FAL_ITEN_FATURADO ON FAL_ITEN (FATURADO);
