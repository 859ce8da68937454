-- The installation's terminal user, as restaurants often have it: every
-- right on the database, and nothing of ours.
CREATE USER IF NOT EXISTS 'admin'@'127.0.0.1' IDENTIFIED BY 'tormbel5831';
GRANT ALL PRIVILEGES ON * TO 'admin'@'127.0.0.1';
