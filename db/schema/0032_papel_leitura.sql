-- Outside readers (a spreadsheet, a BI tool on a server) connect with this role. Every upgrade grants it
-- SELECT on each table and view, what later scripts add included, and nothing else.
CREATE ROLE KELM_LEITURA;
