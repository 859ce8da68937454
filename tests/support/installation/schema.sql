-- A restaurant's own database as its back office might have made it, written
-- from what the terminal requires and nothing of ours: other column types than
-- db/schema.sql (DOUBLE money, a text counter, BIT side-dish flags, TIME and
-- TINYTEXT columns, a latin1 table), narrower text columns, nullable columns
-- without defaults, table names in other letter cases, and no table envios.
-- The tests run the terminal against it as well as against db/schema.sql.

SET NAMES utf8mb4;

CREATE TABLE MANTENIMIENTO (
  iva             DOUBLE NULL,
  iva_reducido    DOUBLE NULL,
  iva_lujo        DOUBLE NULL,
  Precio_V        CHAR(1) NULL,
  Dollar          DOUBLE NULL,
  Descuento       DOUBLE NULL,
  Desc_Venta1     DOUBLE NULL,
  iva_a           DOUBLE NULL,
  control_Comanda VARCHAR(12) NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE vendedores (
  cod_vendedor VARCHAR(8)  NULL,
  nom_vendedor VARCHAR(40) NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE Deposito (
  codigo VARCHAR(5)  NULL,
  nombre VARCHAR(40) NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE TBL_BOTONES (
  indice       VARCHAR(3)   NULL,
  titulo       VARCHAR(40)  NULL,
  menu         VARCHAR(40)  NULL,
  submenu      VARCHAR(40)  NULL,
  esmenu       BIT(1)       NULL,
  essubmenu    BIT(1)       NULL,
  departamento VARCHAR(5)   NULL,
  Cod_producto VARCHAR(15)  NULL,
  Color        INT          NULL,
  Picture      VARCHAR(200) NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE Productos (
  cod_producto VARCHAR(15) NOT NULL PRIMARY KEY,
  nom_producto VARCHAR(60) NULL,
  Peso         BIT(1)      NULL,
  contorno     BIT(1)      NULL,
  termino      BIT(1)      NULL,
  precio_a     DOUBLE      NULL,
  precio_b     DOUBLE      NULL,
  precio_c     DOUBLE      NULL,
  P_Dollar     DOUBLE      NULL,
  dolar        BIT(1)      NULL,
  Impuesto1    BIT(1)      NULL,
  Impuesto2    BIT(1)      NULL,
  Impuesto3    BIT(1)      NULL,
  cocina       VARCHAR(20) NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE COSTO (
  cod_producto VARCHAR(15) NULL,
  costo        DOUBLE      NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE Contornos (
  nombre VARCHAR(40) NULL,
  activa INT         NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE FACTURA_R (
  N_Factura     VARCHAR(6)  NOT NULL PRIMARY KEY,
  ced_cliente   VARCHAR(15) NULL,
  Fecha_factura DATE        NULL,
  Cod_Vendedor  VARCHAR(8)  NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE d_fact_r (
  n_factura    VARCHAR(6)  NULL,
  cod_producto VARCHAR(15) NULL,
  cantidad     DOUBLE      NULL,
  monto        DOUBLE      NULL,
  d_iva        DOUBLE      NULL,
  costo        DOUBLE      NULL,
  contorno1    VARCHAR(30) NULL,
  contorno2    VARCHAR(30) NULL,
  contorno3    VARCHAR(30) NULL,
  termino      VARCHAR(20) NULL,
  cod_vendedor VARCHAR(8)  NULL,
  deposito     VARCHAR(5)  NULL,
  observacion  VARCHAR(80) NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE Comanda (
  numero       VARCHAR(10) NULL,
  nom_producto VARCHAR(20) NULL,
  cantidad     DOUBLE      NULL,
  monto        DOUBLE      NULL,
  mesonero     VARCHAR(20) NULL,
  hora         TIME        NULL,
  fecha        DATE        NULL,
  mesa         VARCHAR(6)  NULL,
  contorno1    VARCHAR(30) NULL,
  contorno2    VARCHAR(30) NULL,
  contorno3    VARCHAR(30) NULL,
  termino      VARCHAR(15) NULL,
  observacion  TINYTEXT    NULL
) ENGINE=InnoDB DEFAULT CHARSET=latin1;
