# Private MariaDB servers for the demo and the tests. Source this file.
#   db_start DIR ADDRESS [OPTIONS...]   start a server with its data in DIR, listening on
#                          ADDRESS:3306, with further mariadbd options (--ssl-ca=..., ...)
#   db_stop DIR            stop the server of DIR (if it runs)
#   db_sql DIR [args]      run the mariadb client as root on the server of DIR
#   db_load DIR DB         create database DB and load schema, grants, the optional
#                          send record (db/optional/envios.sql) and the demo data
# The server compares table names without regard to case, as the terminal needs.

PEDIDOS_ROOT=${PEDIDOS_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
DB_PORT=3306

# Prints what listens on ADDRESS:3306 (or on all addresses), nothing when free.
db_port_taken() {
  local addr=$1
  ss -Hltn "sport = :$DB_PORT" 2>/dev/null | awk '{print $4}' |
    grep -E "^($addr|0\.0\.0\.0|\*|\[::\]):$DB_PORT\$" || true
}

# True while process PID exists and has not exited (a zombie that its parent
# has not collected yet counts as exited).
db_pid_alive() {
  local pid=$1 state
  kill -0 "$pid" 2>/dev/null || return 1
  state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)
  [ -n "$state" ] && [ "$state" != Z ]
}

db_running() {
  local dir=$1
  [ -f "$dir/mariadbd.pid" ] && db_pid_alive "$(cat "$dir/mariadbd.pid")"
}

# Creates the data folder DIR/data the first time (table names compared
# without regard to case).
db_install() {
  local dir=$1 try
  [ -d "$dir/data/mysql" ] && return 0
  # Its temporary files in a folder of its own: another server's bootstrap
  # (a cluster's nodes, another run) shares nothing with it. A bootstrap that
  # still fails is tried once more from an empty folder.
  for try in 1 2; do
    rm -rf "$dir/data" "$dir/tmp"
    mkdir -p "$dir/tmp"
    mariadb-install-db --no-defaults --datadir="$dir/data" --auth-root-authentication-method=normal \
      --skip-test-db --lower-case-table-names=1 --user=root --tmpdir="$dir/tmp" >"$dir/install.log" 2>&1 &&
      return 0
  done
  cat "$dir/install.log" >&2
  echo "No se pudo crear la base de datos privada en $dir/data." >&2
  return 1
}

# Sets DB_OPTIONS to the options of a private server of DIR on ADDRESS:3306.
db_options() {
  local dir=$1 addr=$2
  DB_OPTIONS=(--no-defaults --datadir="$dir/data" --socket="$dir/mariadb.sock" --port=$DB_PORT
    --bind-address="$addr" --lower-case-table-names=1 --skip-name-resolve --user=root
    --skip-log-bin --pid-file="$dir/mariadbd.pid" --log-error="$dir/error.log"
    --general-log=0 --general-log-file="$dir/general.log"
    --innodb-buffer-pool-size=64M --innodb-log-file-size=16M --innodb-flush-log-at-trx-commit=1)
}

# Waits up to SECONDS (20 unless given) for the server of DIR to answer.
db_wait() {
  local dir=$1 seconds=${2:-20} i
  for i in $(seq 1 $((seconds * 5))); do
    if mariadb-admin --no-defaults --socket="$dir/mariadb.sock" -uroot ping >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.2
  done
  tail -n 20 "$dir/error.log" >&2 || true
  echo "El servidor MariaDB privado no arrancó (registro: $dir/error.log)." >&2
  return 1
}

# Fails, saying who holds it, when something already listens on ADDRESS:3306.
db_check_port_free() {
  local addr=$1 taken
  taken=$(db_port_taken "$addr")
  [ -z "$taken" ] && return 0
  echo "Ya hay un servidor MariaDB/MySQL escuchando en $taken." >&2
  echo "No se toca: deténgalo, o use otra máquina, y vuelva a intentar." >&2
  return 1
}

db_start() {
  local dir=$1 addr=$2
  shift 2
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  if db_running "$dir"; then
    return 0
  fi
  db_check_port_free "$addr" || return 1
  db_install "$dir" || return 1
  db_options "$dir" "$addr"
  mariadbd "${DB_OPTIONS[@]}" "$@" >/dev/null 2>&1 &
  db_wait "$dir"
}

db_stop() {
  local dir=$1
  db_running "$dir" || return 0
  local pid
  pid=$(cat "$dir/mariadbd.pid")
  kill "$pid" 2>/dev/null || true
  local i
  for i in $(seq 1 150); do
    db_pid_alive "$pid" || return 0
    sleep 0.2
  done
  kill -9 "$pid" 2>/dev/null || true
}

db_sql() {
  local dir=$1
  shift
  mariadb --no-defaults --socket="$dir/mariadb.sock" -uroot "$@"
}

db_load() {
  local dir=$1 db=$2
  db_sql "$dir" -e "DROP DATABASE IF EXISTS \`$db\`; CREATE DATABASE \`$db\` CHARACTER SET utf8mb4;"
  local f
  for f in schema grants optional/envios demo; do
    db_sql "$dir" --database="$db" <"$PEDIDOS_ROOT/db/$f.sql" || {
      echo "No se pudo cargar db/$f.sql en la base $db." >&2
      return 1
    }
  done
}
