-- Pedidos: the tables of a restaurant installation as the order terminals use them.
--
-- The server MUST run with lower_case_table_names=1: the terminal writes the same
-- table in more than one letter case ("Vendedores" / "vendedores",
-- "tbl_botones" / "Tbl_botones"), and only a case-insensitive server finds them all.
--
-- Load into an existing, empty database (this file names no database):
--   mariadb --database=restaurante < db/schema.sql
--
-- Types, as the terminal reads them back:
--   * flags compared with true after fetching (esmenu, essubmenu, Peso, dolar,
--     Impuesto1..3) are BIT(1), which the client delivers as a boolean;
--   * contorno / termino are only tested for non-zero, so TINYINT;
--   * money, quantities and rates are DECIMAL with three decimals;
--   * every column that the terminal's INSERTs do not name has a default;
--   * text columns hold what the screens let a waiter type.
--
-- Nothing here is of the terminal's own: db/optional/envios.sql adds the send
-- record that lets a terminal tell exactly, after a lost connection, whether
-- its send was stored.

SET NAMES utf8mb4;

-- Installation parameters: exactly one row (id 1). The terminal reads the tax
-- rates, the price level and the dollar rate, and advances the ticket counter.
CREATE TABLE mantenimiento (
  id              INT           NOT NULL DEFAULT 1,
  iva             DECIMAL(14,3) NULL DEFAULT NULL,   -- general tax rate, percent
  iva_reducido    DECIMAL(14,3) NULL DEFAULT NULL,   -- reduced tax rate, percent
  iva_lujo        DECIMAL(14,3) NULL DEFAULT NULL,   -- luxury tax rate, percent
  Precio_V        VARCHAR(1)    NOT NULL DEFAULT '1', -- price level: '1', '2', '3' or '$'
  Dollar          DECIMAL(14,4) NOT NULL DEFAULT 0,  -- local currency per dollar
  Descuento       DECIMAL(14,3) NOT NULL DEFAULT 0,  -- kept for the back office
  Desc_Venta1     DECIMAL(14,3) NOT NULL DEFAULT 0,  -- kept for the back office
  iva_a           DECIMAL(14,3) NOT NULL DEFAULT 0,  -- kept for the back office
  control_Comanda INT           NOT NULL DEFAULT 1,  -- next kitchen-ticket number
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Waiters, listed by name on the terminal.
CREATE TABLE Vendedores (
  cod_vendedor VARCHAR(10) NOT NULL,
  nom_vendedor VARCHAR(60) NOT NULL,
  PRIMARY KEY (cod_vendedor),
  KEY ix_vendedores_nombre (nom_vendedor)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Areas (stores) of the installation; each terminal belongs to one.
CREATE TABLE deposito (
  codigo VARCHAR(10) NOT NULL,
  nombre VARCHAR(60) NOT NULL,
  PRIMARY KEY (codigo)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Menu buttons of each area. The tree is formed by titles:
--   main menu:         esmenu = 1 (a row titled 'Sin Menu' is never shown there)
--   children of menu M: menu = M and essubmenu = 1
--   children of submenu S (inside M): submenu = S and menu = M, essubmenu = 0
-- A row with a product code is a product button.
CREATE TABLE tbl_botones (
  id           INT          NOT NULL AUTO_INCREMENT,
  indice       INT          NOT NULL,              -- button position 0..44 (15 per page)
  titulo       VARCHAR(60)  NOT NULL,              -- caption; children point to it
  menu         VARCHAR(60)  NOT NULL DEFAULT '',   -- titulo of the owning menu
  submenu      VARCHAR(60)  NOT NULL DEFAULT '',   -- titulo of the owning submenu
  esmenu       BIT(1)       NOT NULL DEFAULT b'0',
  essubmenu    BIT(1)       NOT NULL DEFAULT b'0',
  departamento VARCHAR(10)  NOT NULL,              -- deposito.codigo of the area
  Cod_producto VARCHAR(20)  NULL DEFAULT NULL,     -- product code; empty/null: not a product
  Color        INT          NULL DEFAULT NULL,     -- Windows colour value (red in the low byte); null: default face
  Picture      VARCHAR(255) NOT NULL DEFAULT '',   -- image file for the button; empty: none
  PRIMARY KEY (id),
  KEY ix_botones_menu (departamento, esmenu),
  KEY ix_botones_hijos (departamento, menu, submenu),
  KEY ix_botones_boton (departamento, indice, titulo)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Products. Sale prices include tax. A null price, or 0, means "no price" at
-- that level; a null P_Dollar makes a dollar product fall back to precio_a.
CREATE TABLE productos (
  cod_producto VARCHAR(20)   NOT NULL,
  nom_producto VARCHAR(100)  NOT NULL DEFAULT '',
  Peso         BIT(1)        NULL DEFAULT b'0',    -- sold by weight: not taken at the terminal
  contorno     TINYINT       NULL DEFAULT 0,       -- non-zero: takes side dishes
  termino      TINYINT       NULL DEFAULT 0,       -- non-zero: takes a cooking point
  precio_a     DECIMAL(14,3) NULL DEFAULT 0,       -- price level 1, local currency
  precio_b     DECIMAL(14,3) NULL DEFAULT 0,       -- price level 2
  precio_c     DECIMAL(14,3) NULL DEFAULT 0,       -- price level 3
  P_Dollar     DECIMAL(14,3) NULL DEFAULT NULL,    -- price in dollars
  dolar        BIT(1)        NULL DEFAULT b'0',    -- priced in dollars
  Impuesto1    BIT(1)        NULL DEFAULT b'0',    -- general tax (mantenimiento.iva)
  Impuesto2    BIT(1)        NULL DEFAULT b'0',    -- reduced tax (iva_reducido)
  Impuesto3    BIT(1)        NULL DEFAULT b'0',    -- luxury tax (iva_lujo)
  cocina       VARCHAR(30)   NULL DEFAULT NULL,    -- print group, as named in Modelo.txt
  PRIMARY KEY (cod_producto)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Unit cost of a product, carried into each order line (0 when there is no row).
CREATE TABLE costo (
  cod_producto VARCHAR(20)   NOT NULL,
  costo        DECIMAL(14,3) NOT NULL DEFAULT 0,
  PRIMARY KEY (cod_producto)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Side dishes kept in the database (the terminal normally reads Contorno.txt).
CREATE TABLE contornos (
  id     INT         NOT NULL AUTO_INCREMENT,
  nombre VARCHAR(60) NOT NULL,
  activa TINYINT     NOT NULL DEFAULT 1,          -- 1: offered
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Order headers: one per table number with an open order.
CREATE TABLE Factura_r (
  N_Factura     VARCHAR(20) NOT NULL,             -- the table number
  ced_cliente   VARCHAR(20) NOT NULL DEFAULT '',  -- the table number again for table orders
  Fecha_factura DATE        NULL DEFAULT NULL,
  Cod_Vendedor  VARCHAR(10) NOT NULL DEFAULT '',  -- waiter who opened the order
  PRIMARY KEY (N_Factura)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Order lines: one row per line per send.
CREATE TABLE D_Fact_r (
  id           INT           NOT NULL AUTO_INCREMENT,
  n_factura    VARCHAR(20)   NOT NULL,
  cod_producto VARCHAR(20)   NOT NULL,
  cantidad     DECIMAL(14,3) NOT NULL DEFAULT 0,
  monto        DECIMAL(14,3) NOT NULL DEFAULT 0,   -- unit price without tax
  d_iva        DECIMAL(14,3) NOT NULL DEFAULT 0,   -- tax rate of the line, percent
  costo        DECIMAL(14,3) NOT NULL DEFAULT 0,   -- unit cost
  contorno1    VARCHAR(100)  NOT NULL DEFAULT '',
  contorno2    VARCHAR(100)  NOT NULL DEFAULT '',
  contorno3    VARCHAR(100)  NOT NULL DEFAULT '',
  termino      VARCHAR(100)  NOT NULL DEFAULT '',
  cod_vendedor VARCHAR(10)   NOT NULL DEFAULT '',
  deposito     VARCHAR(10)   NOT NULL DEFAULT '',
  observacion  VARCHAR(500)  NOT NULL DEFAULT '',  -- note to the chef
  PRIMARY KEY (id),
  KEY ix_dfact_factura (n_factura)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Kitchen-ticket lines: one row per line per send, under the ticket number.
CREATE TABLE comanda (
  id           INT           NOT NULL AUTO_INCREMENT,
  numero       VARCHAR(20)   NOT NULL DEFAULT '',  -- ticket number; empty without counter row
  nom_producto VARCHAR(100)  NOT NULL DEFAULT '',
  cantidad     DECIMAL(14,3) NOT NULL DEFAULT 0,
  monto        DECIMAL(14,3) NOT NULL DEFAULT 0,
  mesonero     VARCHAR(60)   NOT NULL DEFAULT '',  -- waiter name
  hora         VARCHAR(10)   NOT NULL DEFAULT '',  -- 'HH:mm:ss' of the server
  fecha        DATE          NULL DEFAULT NULL,
  mesa         VARCHAR(20)   NOT NULL DEFAULT '',
  contorno1    VARCHAR(100)  NOT NULL DEFAULT '',
  contorno2    VARCHAR(100)  NOT NULL DEFAULT '',
  contorno3    VARCHAR(100)  NOT NULL DEFAULT '',
  termino      VARCHAR(100)  NOT NULL DEFAULT '',
  observacion  VARCHAR(500)  NOT NULL DEFAULT '',
  PRIMARY KEY (id),
  KEY ix_comanda_numero (numero)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;
