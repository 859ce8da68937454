-- Pedidos: demo installation "Restaurant El Fogón", a small Venezuelan grill
-- restaurant with a bar. Prices in Bs. (tax included), dollar rate 36,50.
-- It names only the columns the terminal uses, so it loads into an
-- installation's own tables as well as into ours. Load after schema.sql and
-- grants.sql:
--   mariadb --database=restaurante < db/demo.sql
--
-- Areas: '01' RESTAURANT (the demo terminal's area) and '02' BAR.
-- Print groups (productos.cocina) are the group names of demo/Modelo.txt:
-- COCINA, PARRILLA, PIZZERIA (chef copy too), BAR, POSTRES. CAFETERIA is on
-- purpose not listed there (its lines print on the full copy only), and the
-- mineral water has no print group at all.

SET NAMES utf8mb4;

-- Parameters: IVA 16 %, reduced 8 %, luxury 31 %, price level 1, 36,50 Bs. per
-- dollar, the first kitchen ticket is number 1.
INSERT INTO mantenimiento
  (iva, iva_reducido, iva_lujo, Precio_V, Dollar, Descuento, Desc_Venta1, iva_a, control_Comanda)
VALUES
  (16, 8, 31, '1', 36.50, 0, 0, 0, 1);

INSERT INTO Vendedores (cod_vendedor, nom_vendedor) VALUES
  ('001', 'María Fernández'),
  ('002', 'José Gregorio Rodríguez'),
  ('003', 'D''Angelo Pérez'),
  ('004', 'Yusmary Carrasco'),
  ('005', 'Luis Enrique Marcano');

INSERT INTO deposito (codigo, nombre) VALUES
  ('01', 'RESTAURANT'),
  ('02', 'BAR');

-- Products. Flags: Peso = sold by weight (not taken at the terminal);
-- contorno / termino = asks for side dishes / cooking point; dolar = priced
-- from P_Dollar times the dollar rate; Impuesto1/2/3 = IVA general / reduced /
-- luxury (the last true flag wins; none true = exempt).
INSERT INTO productos
  (cod_producto, nom_producto, Peso, contorno, termino, precio_a, precio_b, precio_c,
   P_Dollar, dolar, Impuesto1, Impuesto2, Impuesto3, cocina)
VALUES
  -- Entradas
  ('E001', 'TEQUEÑOS (6 UND)',                0, 0, 0, 219.00, 240.90, 262.80, NULL, 0, 1, 0, 0, 'COCINA'),
  ('E002', 'EMPANADAS DE CARNE (3 UND)',      0, 0, 0, 164.25, 180.68, 197.10, NULL, 0, 1, 0, 0, 'COCINA'),
  ('E003', 'AREPITAS CON NATA',               0, 0, 0, 127.75, 140.53, 153.30, NULL, 0, 1, 0, 0, 'COCINA'),
  ('E004', 'CEVICHE DE PESCADO',              0, 0, 0, 401.50, 441.65, 481.80, NULL, 0, 1, 0, 0, 'COCINA'),
  ('E005', 'CHORIZO CARUPANERO',              0, 0, 0, 182.50, 200.75, 219.00, NULL, 0, 1, 0, 0, 'PARRILLA'),
  -- Sopas
  ('S001', 'HERVIDO DE RES',                  0, 0, 0, 255.50, 281.05, 306.60, NULL, 0, 1, 0, 0, 'COCINA'),
  ('S002', 'SANCOCHO DE GALLINA',             0, 0, 0, 237.25, 260.98, 284.70, NULL, 0, 1, 0, 0, 'COCINA'),
  ('S003', 'CREMA DE AUYAMA',                 0, 0, 0, 146.00, 160.60, 175.20, NULL, 0, 1, 0, 0, 'COCINA'),
  ('S004', 'SOPA DE MARISCOS',                0, 0, 0, 438.00, 481.80, 525.60, NULL, 0, 1, 0, 0, 'COCINA'),
  -- Parrilla: beef takes side dishes and a cooking point
  ('P001', 'LOMITO A LA PARRILLA',            0, 1, 1, 584.00, 642.40, 700.80, NULL, 0, 1, 0, 0, 'PARRILLA'),
  ('P002', 'PUNTA TRASERA',                   0, 1, 1, 547.50, 602.25, 657.00, NULL, 0, 1, 0, 0, 'PARRILLA'),
  ('P003', 'SOLOMO DE CUERITO',               0, 1, 1, 511.00, 562.10, 613.20, NULL, 0, 1, 0, 0, 'PARRILLA'),
  ('P004', 'CHURRASCO',                       0, 1, 1, 620.50, 682.55, 744.60, NULL, 0, 1, 0, 0, 'PARRILLA'),
  ('P005', 'T-BONE IMPORTADO 450 G',          0, 1, 1, 894.25, 983.68, 1073.10, 24.50, 1, 1, 0, 0, 'PARRILLA'),
  ('P006', 'MEDIO POLLO A LA BRASA',          0, 1, 0, 365.00, 401.50, 438.00, NULL, 0, 1, 0, 0, 'PARRILLA'),
  ('P007', 'PECHUGA A LA PLANCHA',            0, 1, 0, 328.50, 361.35, 394.20, NULL, 0, 1, 0, 0, 'PARRILLA'),
  ('P008', 'CHULETA DE CERDO AHUMADA',        0, 1, 0, 401.50, 441.65, 481.80, NULL, 0, 1, 0, 0, 'PARRILLA'),
  ('P009', 'COSTILLAS DE CERDO BBQ',          0, 1, 0, 474.50, 521.95, 569.40, NULL, 0, 1, 0, 0, 'PARRILLA'),
  ('P010', 'PARRILLA MIXTA PARA DOS PERSONAS',0, 1, 1, 1277.50, 1405.25, 1533.00, NULL, 0, 1, 0, 0, 'PARRILLA'),
  -- Pescados y mariscos
  ('F001', 'PARGO FRITO',                     0, 1, 0, 547.50, 602.25, 657.00, NULL, 0, 1, 0, 0, 'COCINA'),
  ('F002', 'FILETE DE MERO A LA PLANCHA',     0, 1, 0, 584.00, 642.40, 700.80, NULL, 0, 1, 0, 0, 'COCINA'),
  ('F003', 'CAMARONES AL AJILLO',             0, 1, 0, 657.00, 722.70, 788.40, NULL, 0, 1, 0, 0, 'COCINA'),
  ('F004', 'ARROZ CON MARISCOS',              0, 0, 0, 620.50, 682.55, 744.60, NULL, 0, 1, 0, 0, 'COCINA'),
  ('F005', 'PESCADO FRESCO POR KILO',         1, 0, 0, 730.00, 803.00, 876.00, NULL, 0, 1, 0, 0, 'COCINA'),
  -- Pizzas and their extras (names start with PIZZA / EXTRA: one block on the ticket)
  ('Z001', 'PIZZA MARGARITA',                 0, 0, 0, 292.00, 321.20, 350.40, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('Z002', 'PIZZA NAPOLITANA',                0, 0, 0, 328.50, 361.35, 394.20, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('Z003', 'PIZZA JAMÓN Y QUESO',             0, 0, 0, 346.75, 381.43, 416.10, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('Z004', 'PIZZA CUATRO QUESOS',             0, 0, 0, 401.50, 441.65, 481.80, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('Z005', 'PIZZA VEGETARIANA',               0, 0, 0, 310.25, 341.28, 372.30, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('X001', 'EXTRA QUESO MOZZARELLA',          0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('X002', 'EXTRA JAMÓN',                     0, 0, 0,  45.63,  50.19,  54.76, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('X003', 'EXTRA CHAMPIÑONES',               0, 0, 0,  45.63,  50.19,  54.76, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('X004', 'EXTRA PEPPERONI',                 0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  ('X005', 'EXTRA TOCINETA',                  0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'PIZZERIA'),
  -- Bebidas
  ('B001', 'AGUA MINERAL 600 ML',             0, 0, 0,  36.50,  40.15,  43.80, NULL, 0, 0, 0, 0, NULL),
  ('B002', 'PEPSI-COLA 355 ML',               0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'BAR'),
  ('B003', 'COCA-COLA 355 ML',                0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'BAR'),
  ('B004', 'FRESCOLITA 355 ML',               0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'BAR'),
  ('B005', 'CHINOTTO 355 ML',                 0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'BAR'),
  ('B006', 'MALTA POLAR',                     0, 0, 0,  45.63,  50.19,  54.76, NULL, 0, 1, 0, 0, 'BAR'),
  ('B007', 'CERVEZA POLAR PILSEN',            0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'BAR'),
  ('B008', 'CERVEZA POLAR LIGHT',             0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 1, 0, 0, 'BAR'),
  ('B009', 'CERVEZA SOLERA VERDE',            0, 0, 0,  63.88,  70.27,  76.66, NULL, 0, 1, 0, 0, 'BAR'),
  ('B010', 'CERVEZA SOLERA AZUL',             0, 0, 0,  63.88,  70.27,  76.66, NULL, 0, 1, 0, 0, 'BAR'),
  ('B011', 'CERVEZA ZULIA',                   0, 0, 0,  63.88,  70.27,  76.66, NULL, 0, 1, 0, 0, 'BAR'),
  ('B012', 'RON SANTA TERESA 1796 (TRAGO)',   0, 0, 0, 182.50, 200.75, 219.00, NULL, 0, 0, 0, 1, 'BAR'),
  ('B013', 'RON DIPLOMÁTICO RESERVA (TRAGO)', 0, 0, 0, 219.00, 240.90, 262.80, NULL, 0, 0, 0, 1, 'BAR'),
  ('B014', 'RON CACIQUE AÑEJO (TRAGO)',       0, 0, 0, 109.50, 120.45, 131.40, NULL, 0, 0, 0, 1, 'BAR'),
  ('B015', 'RON PAMPERO ANIVERSARIO (TRAGO)', 0, 0, 0, 146.00, 160.60, 175.20, NULL, 0, 0, 0, 1, 'BAR'),
  ('B016', 'WHISKY BUCHANAN''S 12 AÑOS (TRAGO)', 0, 0, 0, 255.50, 281.05, 306.60, NULL, 0, 0, 0, 1, 'BAR'),
  ('B017', 'WHISKY OLD PARR 12 AÑOS (TRAGO)', 0, 0, 0, 237.25, 260.98, 284.70, NULL, 0, 0, 0, 1, 'BAR'),
  ('B018', 'VODKA GREY GOOSE (TRAGO)',        0, 0, 0, 219.00, 240.90, 262.80, NULL, 0, 0, 0, 1, 'BAR'),
  ('B019', 'GIN TANQUERAY (TRAGO)',           0, 0, 0, 200.75, 220.83, 240.90, NULL, 0, 0, 0, 1, 'BAR'),
  ('B020', 'VINO TINTO CASILLERO DEL DIABLO BOTELLA', 0, 0, 0, 1095.00, 1204.50, 1314.00, NULL, 0, 1, 0, 1, 'BAR'),
  ('B021', 'COPA DE VINO TINTO',              0, 0, 0, 182.50, 200.75, 219.00, NULL, 0, 0, 0, 1, 'BAR'),
  ('B022', 'COPA DE VINO BLANCO',             0, 0, 0, 182.50, 200.75, 219.00, NULL, 0, 0, 0, 1, 'BAR'),
  ('B023', 'SANGRÍA (JARRA)',                 0, 0, 0, 547.50, 602.25, 657.00, NULL, 0, 0, 0, 1, 'BAR'),
  ('B024', 'PAPELÓN CON LIMÓN',               0, 0, 0,  73.00,  80.30,  87.60, NULL, 0, 0, 1, 0, 'BAR'),
  ('B025', 'CHICHA VENEZOLANA',               0, 0, 0,  91.25, 100.38, 109.50, NULL, 0, 0, 1, 0, 'BAR'),
  ('B026', 'MERENGADA DE FRESA',              0, 0, 0, 109.50, 120.45, 131.40, NULL, 0, 0, 1, 0, 'BAR'),
  ('B027', 'TIZANA DE LA CASA',               0, 0, 0, 100.38, 110.42, 120.46, NULL, 0, 0, 1, 0, 'BAR'),
  ('B028', 'LIMONADA FRAPPÉ',                 0, 0, 0,  82.13,  90.34,  98.56, NULL, 0, 0, 1, 0, 'BAR'),
  ('B029', 'CAFÉ MARRÓN',                     0, 0, 0,  45.63,  50.19,  54.76, NULL, 0, 0, 1, 0, 'CAFETERIA'),
  ('B030', 'CAFÉ NEGRO',                      0, 0, 0,  36.50,  40.15,  43.80, NULL, 0, 0, 1, 0, 'CAFETERIA'),
  ('B031', 'CAFÉ CON LECHE',                  0, 0, 0,  54.75,  60.23,  65.70, NULL, 0, 0, 1, 0, 'CAFETERIA'),
  ('B032', 'TÉ DE MANZANILLA',                0, 0, 0,  36.50,  40.15,  43.80, NULL, 0, 0, 1, 0, 'CAFETERIA'),
  -- Jugos naturales (IVA reducido)
  ('J001', 'JUGO DE NARANJA',                 0, 0, 0,  91.25, 100.38, 109.50, NULL, 0, 0, 1, 0, 'BAR'),
  ('J002', 'JUGO DE PARCHITA',                0, 0, 0,  91.25, 100.38, 109.50, NULL, 0, 0, 1, 0, 'BAR'),
  ('J003', 'JUGO DE MORA',                    0, 0, 0,  91.25, 100.38, 109.50, NULL, 0, 0, 1, 0, 'BAR'),
  ('J004', 'JUGO DE PIÑA',                    0, 0, 0,  91.25, 100.38, 109.50, NULL, 0, 0, 1, 0, 'BAR'),
  ('J005', 'JUGO DE GUANÁBANA',               0, 0, 0, 100.38, 110.42, 120.46, NULL, 0, 0, 1, 0, 'BAR'),
  ('J006', 'JUGO DE MELÓN',                   0, 0, 0,  91.25, 100.38, 109.50, NULL, 0, 0, 1, 0, 'BAR'),
  -- Postres (TORTA DEL DÍA has no price yet: the terminal refuses it)
  ('D001', 'QUESILLO',                        0, 0, 0, 109.50, 120.45, 131.40, NULL, 0, 1, 0, 0, 'POSTRES'),
  ('D002', 'TORTA TRES LECHES',               0, 0, 0, 146.00, 160.60, 175.20, NULL, 0, 1, 0, 0, 'POSTRES'),
  ('D003', 'MARQUESA DE CHOCOLATE',           0, 0, 0, 164.25, 180.68, 197.10, NULL, 0, 1, 0, 0, 'POSTRES'),
  ('D004', 'BIENMESABE',                      0, 0, 0, 127.75, 140.53, 153.30, NULL, 0, 1, 0, 0, 'POSTRES'),
  ('D005', 'TORTA DEL DÍA',                   0, 0, 0,   0.00,   0.00,   0.00, NULL, 0, 1, 0, 0, 'POSTRES'),
  -- Menú del día
  ('M001', 'PABELLÓN CRIOLLO',                0, 0, 0, 328.50, 361.35, 394.20, NULL, 0, 1, 0, 0, 'COCINA'),
  ('M002', 'ASADO NEGRO CON PURÉ',            0, 0, 0, 401.50, 441.65, 481.80, NULL, 0, 1, 0, 0, 'COCINA'),
  ('M003', 'POLLO GUISADO',                   0, 1, 0, 292.00, 321.20, 350.40, NULL, 0, 1, 0, 0, 'COCINA');

-- Unit costs: every product has one except B027 (TIZANA DE LA CASA), which the
-- terminal then takes with cost 0.
INSERT INTO costo (cod_producto, costo) VALUES
  ('E001',  79.29), ('E002',  59.47), ('E003',  46.25), ('E004', 145.37), ('E005',  66.08),
  ('S001',  92.51), ('S002',  85.90), ('S003',  52.86), ('S004', 158.59),
  ('P001', 211.45), ('P002', 198.24), ('P003', 185.02), ('P004', 224.67), ('P005', 323.79),
  ('P006', 132.16), ('P007', 118.94), ('P008', 145.37), ('P009', 171.81), ('P010', 462.56),
  ('F001', 198.24), ('F002', 211.45), ('F003', 237.89), ('F004', 224.67), ('F005', 264.32),
  ('Z001', 105.73), ('Z002', 118.94), ('Z003', 125.55), ('Z004', 145.37), ('Z005', 112.33),
  ('X001',  19.82), ('X002',  16.52), ('X003',  16.52), ('X004',  19.82), ('X005',  19.82),
  ('B001',  14.60), ('B002',  22.63), ('B003',  22.63), ('B004',  22.63), ('B005',  22.63),
  ('B006',  18.86), ('B007',  22.63), ('B008',  22.63), ('B009',  26.40), ('B010',  26.40),
  ('B011',  26.40), ('B012',  53.60), ('B013',  64.32), ('B014',  32.16), ('B015',  42.88),
  ('B016',  75.04), ('B017',  69.68), ('B018',  64.32), ('B019',  58.96), ('B020', 321.60),
  ('B021',  53.60), ('B022',  53.60), ('B023', 160.80), ('B024',  28.39), ('B025',  35.49),
  ('B026',  42.58), ('B028',  31.94), ('B029',  17.74), ('B030',  14.19),
  ('B031',  21.29), ('B032',  14.19),
  ('J001',  35.49), ('J002',  35.49), ('J003',  35.49), ('J004',  35.49), ('J005',  39.04),
  ('J006',  35.49),
  ('D001',  39.65), ('D002',  52.86), ('D003',  59.47), ('D004',  46.25), ('D005',   0.00),
  ('M001', 118.94), ('M002', 145.37), ('M003', 105.73);

-- Side dishes kept in the database (one retired).
INSERT INTO contornos (nombre, activa) VALUES
  ('Papas fritas', 1),
  ('Yuca frita', 1),
  ('Tostones', 1),
  ('Arroz blanco', 1),
  ('Ensalada mixta', 1),
  ('Puré de papas', 1),
  ('Tajadas', 1),
  ('Vegetales salteados', 0);

-- Menu buttons.
-- Main menu: esmenu = 1, no menu / submenu. Children of a menu: menu = its
-- title, essubmenu = 1 (products, or submenus when there is no product code).
-- Children of a submenu: menu and submenu = the titles above them,
-- essubmenu = 0 (so they are not listed on the menu level as well).
-- Colours are Windows colour values: red in the low byte, then green, blue.
--   12648447 = RGB(255,255,192) light yellow   12640511 = RGB(255,224,192) light orange
--   12632319 = RGB(255,192,192) light red      16769216 = RGB(192,224,255) light blue
--    9882879 = RGB(255,200,150) peach          12648384 = RGB(192,255,192) light green
--   16761087 = RGB(255,192,255) light pink
-- Titles carry no apostrophe: the terminal puts them into its statements as they are.

-- Area 01 RESTAURANT: main menu (page 1 and one menu on page 2).
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01',  0, 'ENTRADAS',          '', '', 1, 0, NULL, 12648447),
  ('01',  1, 'SOPAS',             '', '', 1, 0, NULL, 12640511),
  ('01',  2, 'PARRILLA',          '', '', 1, 0, NULL, 12632319),
  ('01',  3, 'PESCADOS',          '', '', 1, 0, NULL, 16769216),
  ('01',  4, 'PIZZAS',            '', '', 1, 0, NULL,  9882879),
  ('01',  5, 'BEBIDAS',           '', '', 1, 0, NULL, 12648384),
  ('01',  6, 'POSTRES',           '', '', 1, 0, NULL, 16761087),
  ('01',  7, 'CAFE MARRON',       '', '', 1, 0, 'B029', NULL),
  ('01', 14, 'Sin Menu',          '', '', 1, 0, NULL, NULL),
  ('01', 15, 'MENU DEL DIA',      '', '', 1, 0, NULL, 12648447);

-- ENTRADAS
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01', 0, 'TEQUEÑOS',            'ENTRADAS', '', 0, 1, 'E001', NULL),
  ('01', 1, 'EMPANADAS DE CARNE',  'ENTRADAS', '', 0, 1, 'E002', NULL),
  ('01', 2, 'AREPITAS CON NATA',   'ENTRADAS', '', 0, 1, 'E003', NULL),
  ('01', 3, 'CEVICHE',             'ENTRADAS', '', 0, 1, 'E004', NULL),
  ('01', 4, 'CHORIZO CARUPANERO',  'ENTRADAS', '', 0, 1, 'E005', NULL);

-- SOPAS
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01', 0, 'HERVIDO DE RES',      'SOPAS', '', 0, 1, 'S001', NULL),
  ('01', 1, 'SANCOCHO DE GALLINA', 'SOPAS', '', 0, 1, 'S002', NULL),
  ('01', 2, 'CREMA DE AUYAMA',     'SOPAS', '', 0, 1, 'S003', NULL),
  ('01', 3, 'SOPA DE MARISCOS',    'SOPAS', '', 0, 1, 'S004', NULL);

-- PARRILLA: two submenus and one dish of its own
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01', 0, 'CORTES DE RES',       'PARRILLA', '', 0, 1, NULL,   12632319),
  ('01', 1, 'POLLO Y CERDO',       'PARRILLA', '', 0, 1, NULL,   12640511),
  ('01', 2, 'PARRILLA MIXTA',      'PARRILLA', '', 0, 1, 'P010', NULL),
  ('01', 0, 'LOMITO',              'PARRILLA', 'CORTES DE RES', 0, 0, 'P001', NULL),
  ('01', 1, 'PUNTA TRASERA',       'PARRILLA', 'CORTES DE RES', 0, 0, 'P002', NULL),
  ('01', 2, 'SOLOMO DE CUERITO',   'PARRILLA', 'CORTES DE RES', 0, 0, 'P003', NULL),
  ('01', 3, 'CHURRASCO',           'PARRILLA', 'CORTES DE RES', 0, 0, 'P004', NULL),
  ('01', 4, 'T-BONE IMPORTADO',    'PARRILLA', 'CORTES DE RES', 0, 0, 'P005', 16769216),
  ('01', 0, 'MEDIO POLLO',         'PARRILLA', 'POLLO Y CERDO', 0, 0, 'P006', NULL),
  ('01', 1, 'PECHUGA A LA PLANCHA','PARRILLA', 'POLLO Y CERDO', 0, 0, 'P007', NULL),
  ('01', 2, 'CHULETA AHUMADA',     'PARRILLA', 'POLLO Y CERDO', 0, 0, 'P008', NULL),
  ('01', 3, 'COSTILLAS BBQ',       'PARRILLA', 'POLLO Y CERDO', 0, 0, 'P009', NULL);

-- PESCADOS
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01', 0, 'PARGO FRITO',         'PESCADOS', '', 0, 1, 'F001', NULL),
  ('01', 1, 'FILETE DE MERO',      'PESCADOS', '', 0, 1, 'F002', NULL),
  ('01', 2, 'CAMARONES AL AJILLO', 'PESCADOS', '', 0, 1, 'F003', NULL),
  ('01', 3, 'ARROZ CON MARISCOS',  'PESCADOS', '', 0, 1, 'F004', NULL),
  ('01', 4, 'PESCADO POR KILO',    'PESCADOS', '', 0, 1, 'F005', NULL);

-- PIZZAS: the pizzas, and a submenu of extras
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01', 0, 'MARGARITA',           'PIZZAS', '', 0, 1, 'Z001', NULL),
  ('01', 1, 'NAPOLITANA',          'PIZZAS', '', 0, 1, 'Z002', NULL),
  ('01', 2, 'JAMON Y QUESO',       'PIZZAS', '', 0, 1, 'Z003', NULL),
  ('01', 3, 'CUATRO QUESOS',       'PIZZAS', '', 0, 1, 'Z004', NULL),
  ('01', 4, 'VEGETARIANA',         'PIZZAS', '', 0, 1, 'Z005', NULL),
  ('01', 5, 'EXTRAS DE PIZZA',     'PIZZAS', '', 0, 1, NULL,   12632319),
  ('01', 0, 'EXTRA QUESO',         'PIZZAS', 'EXTRAS DE PIZZA', 0, 0, 'X001', NULL),
  ('01', 1, 'EXTRA JAMON',         'PIZZAS', 'EXTRAS DE PIZZA', 0, 0, 'X002', NULL),
  ('01', 2, 'EXTRA CHAMPIÑONES',   'PIZZAS', 'EXTRAS DE PIZZA', 0, 0, 'X003', NULL),
  ('01', 3, 'EXTRA PEPPERONI',     'PIZZAS', 'EXTRAS DE PIZZA', 0, 0, 'X004', NULL),
  ('01', 4, 'EXTRA TOCINETA',      'PIZZAS', 'EXTRAS DE PIZZA', 0, 0, 'X005', NULL);

-- BEBIDAS: 33 buttons over all three pages (0-14, 15-29, 30-32), the first
-- one a submenu of fresh juices.
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01',  0, 'JUGOS NATURALES',    'BEBIDAS', '', 0, 1, NULL,   12648384),
  ('01',  1, 'AGUA MINERAL',       'BEBIDAS', '', 0, 1, 'B001', NULL),
  ('01',  2, 'PEPSI-COLA',         'BEBIDAS', '', 0, 1, 'B002', NULL),
  ('01',  3, 'COCA-COLA',          'BEBIDAS', '', 0, 1, 'B003', NULL),
  ('01',  4, 'FRESCOLITA',         'BEBIDAS', '', 0, 1, 'B004', NULL),
  ('01',  5, 'CHINOTTO',           'BEBIDAS', '', 0, 1, 'B005', NULL),
  ('01',  6, 'MALTA POLAR',        'BEBIDAS', '', 0, 1, 'B006', NULL),
  ('01',  7, 'POLAR PILSEN',       'BEBIDAS', '', 0, 1, 'B007', 12648447),
  ('01',  8, 'POLAR LIGHT',        'BEBIDAS', '', 0, 1, 'B008', 12648447),
  ('01',  9, 'SOLERA VERDE',       'BEBIDAS', '', 0, 1, 'B009', 12648447),
  ('01', 10, 'SOLERA AZUL',        'BEBIDAS', '', 0, 1, 'B010', 12648447),
  ('01', 11, 'ZULIA',              'BEBIDAS', '', 0, 1, 'B011', 12648447),
  ('01', 12, 'PAPELON CON LIMON',  'BEBIDAS', '', 0, 1, 'B024', NULL),
  ('01', 13, 'CHICHA',             'BEBIDAS', '', 0, 1, 'B025', NULL),
  ('01', 14, 'MERENGADA DE FRESA', 'BEBIDAS', '', 0, 1, 'B026', NULL),
  ('01', 15, 'RON SANTA TERESA',   'BEBIDAS', '', 0, 1, 'B012', 12640511),
  ('01', 16, 'RON DIPLOMATICO',    'BEBIDAS', '', 0, 1, 'B013', 12640511),
  ('01', 17, 'RON CACIQUE',        'BEBIDAS', '', 0, 1, 'B014', 12640511),
  ('01', 18, 'RON PAMPERO',        'BEBIDAS', '', 0, 1, 'B015', 12640511),
  ('01', 19, 'WHISKY BUCHANANS',   'BEBIDAS', '', 0, 1, 'B016', 12640511),
  ('01', 20, 'WHISKY OLD PARR',    'BEBIDAS', '', 0, 1, 'B017', 12640511),
  ('01', 21, 'VODKA GREY GOOSE',   'BEBIDAS', '', 0, 1, 'B018', NULL),
  ('01', 22, 'GIN TANQUERAY',      'BEBIDAS', '', 0, 1, 'B019', NULL),
  ('01', 23, 'VINO CASILLERO',     'BEBIDAS', '', 0, 1, 'B020', 12632319),
  ('01', 24, 'COPA VINO TINTO',    'BEBIDAS', '', 0, 1, 'B021', 12632319),
  ('01', 25, 'COPA VINO BLANCO',   'BEBIDAS', '', 0, 1, 'B022', 12632319),
  ('01', 26, 'SANGRIA',            'BEBIDAS', '', 0, 1, 'B023', 12632319),
  ('01', 27, 'TIZANA',             'BEBIDAS', '', 0, 1, 'B027', NULL),
  ('01', 28, 'LIMONADA FRAPPE',    'BEBIDAS', '', 0, 1, 'B028', NULL),
  ('01', 29, 'CAFE MARRON',        'BEBIDAS', '', 0, 1, 'B029', NULL),
  ('01', 30, 'CAFE NEGRO',         'BEBIDAS', '', 0, 1, 'B030', NULL),
  ('01', 31, 'CAFE CON LECHE',     'BEBIDAS', '', 0, 1, 'B031', NULL),
  ('01', 32, 'TE DE MANZANILLA',   'BEBIDAS', '', 0, 1, 'B032', NULL);

INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01', 0, 'JUGO DE NARANJA',     'BEBIDAS', 'JUGOS NATURALES', 0, 0, 'J001', NULL),
  ('01', 1, 'JUGO DE PARCHITA',    'BEBIDAS', 'JUGOS NATURALES', 0, 0, 'J002', NULL),
  ('01', 2, 'JUGO DE MORA',        'BEBIDAS', 'JUGOS NATURALES', 0, 0, 'J003', NULL),
  ('01', 3, 'JUGO DE PIÑA',        'BEBIDAS', 'JUGOS NATURALES', 0, 0, 'J004', NULL),
  ('01', 4, 'JUGO DE GUANABANA',   'BEBIDAS', 'JUGOS NATURALES', 0, 0, 'J005', NULL),
  ('01', 5, 'JUGO DE MELON',       'BEBIDAS', 'JUGOS NATURALES', 0, 0, 'J006', NULL);

-- POSTRES
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01', 0, 'QUESILLO',            'POSTRES', '', 0, 1, 'D001', NULL),
  ('01', 1, 'TRES LECHES',         'POSTRES', '', 0, 1, 'D002', NULL),
  ('01', 2, 'MARQUESA',            'POSTRES', '', 0, 1, 'D003', NULL),
  ('01', 3, 'BIENMESABE',          'POSTRES', '', 0, 1, 'D004', NULL),
  ('01', 4, 'TORTA DEL DIA',       'POSTRES', '', 0, 1, 'D005', NULL);

-- MENU DEL DIA (main-menu page 2)
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('01', 0, 'PABELLON CRIOLLO',    'MENU DEL DIA', '', 0, 1, 'M001', NULL),
  ('01', 1, 'ASADO NEGRO',         'MENU DEL DIA', '', 0, 1, 'M002', NULL),
  ('01', 2, 'POLLO GUISADO',       'MENU DEL DIA', '', 0, 1, 'M003', NULL);

-- Area 02 BAR: a small menu of its own.
INSERT INTO tbl_botones (departamento, indice, titulo, menu, submenu, esmenu, essubmenu, Cod_producto, Color) VALUES
  ('02', 0, 'CERVEZAS',            '', '', 1, 0, NULL, 12648447),
  ('02', 1, 'TRAGOS',              '', '', 1, 0, NULL, 12640511),
  ('02', 2, 'PASAPALOS',           '', '', 1, 0, NULL, 12648384),
  ('02', 3, 'AGUA MINERAL',        '', '', 1, 0, 'B001', NULL),
  ('02', 0, 'POLAR PILSEN',        'CERVEZAS', '', 0, 1, 'B007', NULL),
  ('02', 1, 'POLAR LIGHT',         'CERVEZAS', '', 0, 1, 'B008', NULL),
  ('02', 2, 'SOLERA VERDE',        'CERVEZAS', '', 0, 1, 'B009', NULL),
  ('02', 3, 'ZULIA',               'CERVEZAS', '', 0, 1, 'B011', NULL),
  ('02', 0, 'RONES',               'TRAGOS', '', 0, 1, NULL,   12640511),
  ('02', 1, 'WHISKY BUCHANANS',    'TRAGOS', '', 0, 1, 'B016', NULL),
  ('02', 2, 'VODKA GREY GOOSE',    'TRAGOS', '', 0, 1, 'B018', NULL),
  ('02', 3, 'GIN TANQUERAY',       'TRAGOS', '', 0, 1, 'B019', NULL),
  ('02', 0, 'RON SANTA TERESA',    'TRAGOS', 'RONES', 0, 0, 'B012', NULL),
  ('02', 1, 'RON DIPLOMATICO',     'TRAGOS', 'RONES', 0, 0, 'B013', NULL),
  ('02', 2, 'RON CACIQUE',         'TRAGOS', 'RONES', 0, 0, 'B014', NULL),
  ('02', 0, 'TEQUEÑOS',            'PASAPALOS', '', 0, 1, 'E001', NULL),
  ('02', 1, 'EMPANADAS',           'PASAPALOS', '', 0, 1, 'E002', NULL),
  ('02', 2, 'CHORIZO CARUPANERO',  'PASAPALOS', '', 0, 1, 'E005', NULL);
