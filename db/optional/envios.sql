-- Pedidos: the optional send record. A terminal works fully without it; with
-- it, a terminal whose connection broke while its order was being stored
-- learns exactly whether the order was stored, also an order without lines.
--
-- Apply inside the installation's database, as an administrator, after
-- grants.sql (or once the terminal user exists):
--   mariadb --database=restaurante < db/optional/envios.sql
-- Each terminal notices the table the next time it connects. Nothing else
-- reads it. A row matters while its terminal may still ask about it: after a
-- lost connection, until the waiter's next ENVIAR, which may be hours when the
-- server was down. Delete only rows older than a day (column momento), when
-- no terminal has an order waiting on its screen.
--
-- One row per stored send, written in the send's own transaction: the row
-- exists exactly when the send committed, and its key refuses a second copy
-- of the same send.
CREATE TABLE IF NOT EXISTS envios (
  id_envio CHAR(36)    NOT NULL,                           -- the terminal's id of the send
  numero   VARCHAR(20) NOT NULL DEFAULT '',                -- its ticket number
  mesa     VARCHAR(20) NOT NULL DEFAULT '',                -- its table number
  momento  TIMESTAMP   NOT NULL DEFAULT CURRENT_TIMESTAMP, -- when it was stored
  PRIMARY KEY (id_envio)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- The terminal user reads and writes it (edit the hosts as in grants.sql).
GRANT SELECT, INSERT ON envios TO 'admin'@'127.0.0.1', 'admin'@'192.168.1.%';
