# A private three-node MariaDB Galera cluster on this machine. Source this file.
#   cluster_dir [NAME]             print the folder of cluster NAME (cluster unless given);
#                                  node k keeps its data in DIR/nodek
#   cluster_start DIR              start the three nodes and wait until they are one cluster
#   cluster_stop DIR               stop the three nodes (the first one last)
#   cluster_status DIR             one line per node: address, size, state
#   cluster_node_start DIR K       start node K alone and wait until it has joined
#   cluster_node_kill DIR K        kill -9 node K
#   cluster_load DIR DB            create database DB on the cluster with the demo data
# Node k listens on the k-th of CLUSTER_HOSTS (127.0.0.1 127.0.0.2 127.0.0.3 unless
# set) at port 3306, so a terminal's connection string names its node's address.
# Galera talks on port 4567 of the same address, IST on 4568, state transfers on 4444.

source "$(dirname "${BASH_SOURCE[0]}")/mariadb.sh"

# Kept apart from CLUSTER_HOSTS itself, so that an exported CLUSTER_HOSTS stays
# the whole list for the scripts this shell starts.
read -r -a _CLUSTER_HOSTS <<<"${CLUSTER_HOSTS:-127.0.0.1 127.0.0.2 127.0.0.3}"
CLUSTER_PROVIDER=${CLUSTER_PROVIDER:-/usr/lib/galera/libgalera_smm.so}
# Seconds a node has to join (a full state transfer included) before the start fails.
CLUSTER_JOIN_SECONDS=${CLUSTER_JOIN_SECONDS:-120}

cluster_dir() { echo "$PEDIDOS_ROOT/build-services/${1:-cluster}"; }

_cluster_node_dir() { echo "$1/node$2"; }
_cluster_host() { echo "${_CLUSTER_HOSTS[$(($1 - 1))]}"; }

_cluster_address() {
  local list="" h
  for h in "${_CLUSTER_HOSTS[@]}"; do list+="${list:+,}$h:4567"; done
  echo "gcomm://$list"
}

# The value of wsrep status variable NAME on node K, empty when it does not answer.
_cluster_var() {
  local dir=$1 k=$2 name=$3
  db_sql "$(_cluster_node_dir "$dir" "$k")" --batch --skip-column-names --connect-timeout=2 \
    -e "SHOW GLOBAL STATUS LIKE '$name'" 2>/dev/null | cut -f2
}

_cluster_synced() {
  local dir=$1 k=$2
  [ "$(_cluster_var "$dir" "$k" wsrep_local_state_comment)" = Synced ] &&
    [ "$(_cluster_var "$dir" "$k" wsrep_ready)" = ON ]
}

# True when node K's data say it was the last to leave a cleanly stopped cluster.
_cluster_safe_to_bootstrap() {
  grep -q '^safe_to_bootstrap: *1' "$(_cluster_node_dir "$1" "$2")/data/grastate.dat" 2>/dev/null
}

# The position in the cluster's history that the data of NODE hold, found the
# way Debian's galera_recovery finds it (the server run once with
# --wsrep-recover and the options after NODE), or nothing. After a crash the
# node's grastate.dat says -1: started without its position the node asks for
# a full copy (SST), and an rsync copy holds back every write on its donor for
# the whole transfer; with it the node catches up from the others' cache (IST).
_cluster_recovered_position() {
  local node=$1 log="$1/recover.log"
  shift
  rm -f "$log"
  mariadbd "$@" --wsrep-recover --log-error="$log" --pid-file="$node/recover.pid" >/dev/null 2>&1 || return 0
  sed -n 's/.*WSREP: Recovered position: //p' "$log" | tail -n 1
}

# Starts node K's server; with "new" as third argument it founds the cluster.
_cluster_launch() {
  local dir=$1 k=$2 found=${3:-} node host
  node=$(_cluster_node_dir "$dir" "$k")
  host=$(_cluster_host "$k")
  mkdir -p "$node"
  db_check_port_free "$host" || return 1
  db_install "$node" || return 1
  db_options "$node" "$host"
  local wsrep=(--wsrep-on=ON --wsrep-provider="$CLUSTER_PROVIDER"
    --wsrep-cluster-address="$(_cluster_address)" --wsrep-node-address="$host"
    --wsrep-provider-options="gmcast.listen_addr=tcp://$host:4567;ist.recv_addr=$host:4568;gcache.size=32M"
    --wsrep-sst-method=rsync --wsrep-sst-receive-address="$host:4444"
    --binlog-format=ROW --innodb-autoinc-lock-mode=2)
  if [ "$found" = new ]; then
    wsrep+=(--wsrep-new-cluster)
  elif [ -f "$node/data/grastate.dat" ]; then
    local position
    position=$(_cluster_recovered_position "$node" "${DB_OPTIONS[@]}" "${wsrep[@]}")
    if [ -n "$position" ]; then wsrep+=(--wsrep-start-position="$position"); fi
  fi
  # A full state transfer writes into the joiner's data folder through an
  # rsync daemon, which runs as nobody when the servers run as root (the
  # recovery above may have left files of root's).
  if [ "$(id -u)" -eq 0 ]; then chown -R nobody: "$node/data"; fi
  mariadbd "${DB_OPTIONS[@]}" "${wsrep[@]}" >/dev/null 2>&1 &
  # The server writes its pid file only once it has joined; until then the
  # start is followed (and the node stopped) by the pid of the process itself.
  echo $! >"$node/mariadbd.pid"
}

# Waits until node K answers and is synced with the cluster.
_cluster_wait_synced() {
  local dir=$1 k=$2 node i
  node=$(_cluster_node_dir "$dir" "$k")
  for i in $(seq 1 $((CLUSTER_JOIN_SECONDS * 2))); do
    _cluster_synced "$dir" "$k" && return 0
    if [ "$i" -gt 10 ] && ! db_running "$node"; then break; fi
    sleep 0.5
  done
  tail -n 30 "$node/error.log" >&2 || true
  echo "El nodo $k ($(_cluster_host "$k")) no quedó sincronizado con el clúster (registro: $node/error.log)." >&2
  return 1
}

cluster_node_start() {
  local dir=$1 k=$2
  db_running "$(_cluster_node_dir "$dir" "$k")" || _cluster_launch "$dir" "$k" || return 1
  _cluster_wait_synced "$dir" "$k"
}

cluster_node_kill() {
  local node
  node=$(_cluster_node_dir "$1" "$2")
  db_running "$node" || return 0
  local pid
  pid=$(cat "$node/mariadbd.pid")
  kill -9 "$pid"
  while db_pid_alive "$pid"; do sleep 0.1; done
}

# The node that founds the cluster: one that is already running in a cluster
# with a majority, else the one the cluster last stopped on, else node 1 (a
# new cluster, or one whose nodes all died: the private cluster's data are
# test data, so node 1 is told it may). A node left running without a
# majority (its partners died) is stopped first: it cannot serve nor found.
_cluster_founder() {
  local dir=$1 k
  for k in 1 2 3; do
    db_running "$(_cluster_node_dir "$dir" "$k")" || continue
    if [ "$(_cluster_var "$dir" "$k" wsrep_cluster_status)" = Primary ]; then
      echo "$k running"
      return
    fi
    echo "El nodo $k sigue en marcha sin mayoría en el clúster: se detiene para volver a fundarlo." >&2
    db_stop "$(_cluster_node_dir "$dir" "$k")"
  done
  for k in 1 2 3; do
    if _cluster_safe_to_bootstrap "$dir" "$k"; then echo "$k"; return; fi
  done
  local state
  state="$(_cluster_node_dir "$dir" 1)/data/grastate.dat"
  if [ -f "$state" ]; then
    echo "Ningún nodo se detuvo el último; el clúster se vuelve a fundar desde el nodo 1." >&2
    sed -i 's/^safe_to_bootstrap:.*/safe_to_bootstrap: 1/' "$state"
  fi
  echo 1
}

cluster_start() {
  local dir=$1 founder k
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  read -r founder running <<<"$(_cluster_founder "$dir")"
  if [ -z "${running:-}" ]; then
    _cluster_launch "$dir" "$founder" new || return 1
  fi
  _cluster_wait_synced "$dir" "$founder" || return 1
  # The joiners one after the other: each full transfer comes from a synced donor.
  for k in 1 2 3; do
    [ "$k" = "$founder" ] && continue
    cluster_node_start "$dir" "$k" || return 1
  done
  local size
  size=$(_cluster_var "$dir" 1 wsrep_cluster_size)
  if [ "$size" != 3 ]; then
    echo "El clúster tiene ${size:-0} nodos en vez de 3." >&2
    return 1
  fi
}

cluster_stop() {
  local dir=$1 k
  for k in 3 2 1; do db_stop "$(_cluster_node_dir "$dir" "$k")"; done
}

cluster_status() {
  local dir=$1 k node
  for k in 1 2 3; do
    node=$(_cluster_node_dir "$dir" "$k")
    if db_running "$node"; then
      local size
      size=$(_cluster_var "$dir" "$k" wsrep_cluster_size)
      if [ -z "$size" ]; then
        printf 'nodo %s  %s:3306  en marcha, no responde\n' "$k" "$(_cluster_host "$k")"
        continue
      fi
      printf 'nodo %s  %s:3306  tamaño %s  estado %s  %s\n' "$k" "$(_cluster_host "$k")" "$size" \
        "$(_cluster_var "$dir" "$k" wsrep_local_state_comment)" \
        "$(_cluster_var "$dir" "$k" wsrep_cluster_status)"
    else
      printf 'nodo %s  %s:3306  detenido\n' "$k" "$(_cluster_host "$k")"
    fi
  done
}

cluster_load() {
  db_load "$(_cluster_node_dir "$1" 1)" "$2"
}
