-- Pedidos: the database user of the order terminals.
--
-- Apply inside the installation's database, as an administrator:
--   mariadb --database=restaurante < db/grants.sql
-- The table names below refer to that default database, so the file can be
-- loaded into several databases of one server; the user is created once.
--
-- The terminal connects as 'admin' with the installation's fixed password and
-- only reads its tables, inserts orders and advances the ticket counter:
-- nothing else is granted (no DELETE, no DDL, no UPDATE outside mantenimiento).

-- The terminal on the server machine itself.
CREATE USER IF NOT EXISTS 'admin'@'127.0.0.1' IDENTIFIED BY 'tormbel5831';
-- The terminals' network: edit '192.168.1.%' to the restaurant's own network.
CREATE USER IF NOT EXISTS 'admin'@'192.168.1.%' IDENTIFIED BY 'tormbel5831';

-- Tables the terminal reads.
GRANT SELECT ON mantenimiento TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT SELECT ON Vendedores    TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT SELECT ON deposito      TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT SELECT ON tbl_botones   TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT SELECT ON productos     TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT SELECT ON costo         TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT SELECT ON contornos     TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT SELECT ON Factura_r     TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';

-- Orders: a header per table, a line and a ticket line per order line.
GRANT INSERT ON Factura_r     TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT INSERT ON D_Fact_r      TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
GRANT INSERT ON comanda       TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';

-- The kitchen-ticket counter: only that column may be changed (enough for
-- "select control_Comanda from mantenimiento for update" in a transaction too).
GRANT UPDATE (control_Comanda) ON mantenimiento TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';

-- Optional, on the restaurant's server (commented out: loading this file
-- changes neither). Remove the leading "-- " of the lines wanted.
--
-- A private link: once the server offers TLS (scripts/tls-certs makes its
-- certificates and prints its settings), the server can refuse the terminals'
-- user any connection without it. A terminal refused this way is told its
-- access was denied: give it the CA in its option file first. A terminal on
-- the server itself that checks the server's name needs 127.0.0.1 among the
-- certificate's names.
-- ALTER USER 'admin'@'192.168.1.%' REQUIRE SSL;
-- ALTER USER 'admin'@'127.0.0.1' REQUIRE SSL;
-- Stricter: only terminals that show a certificate signed by the restaurant's
-- CA (scripts/tls-certs --cliente NOMBRE makes one per terminal).
-- ALTER USER 'admin'@'192.168.1.%' REQUIRE X509;
--
-- Another password than the built-in one: change it here, and give every
-- terminal the new one in its option file (password in the [pedidos] group).
-- ALTER USER 'admin'@'127.0.0.1' IDENTIFIED BY 'nueva-contraseña';
-- ALTER USER 'admin'@'192.168.1.%' IDENTIFIED BY 'nueva-contraseña';
