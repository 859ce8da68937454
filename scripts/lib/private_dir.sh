# Folders for private services whose helpers run as another user. Source this file.
#   private_dir USER NAME   print build-services/NAME of this checkout when USER can
#                           enter it, else a folder of this checkout under /tmp
# A clone under /root (mode 700) cannot be entered by lp (CUPS's backends) or
# nobody (Galera's rsync transfer when the servers run as root).

PEDIDOS_ROOT=${PEDIDOS_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

private_dir() {
  local user=$1 name=$2 dir key base
  dir="$PEDIDOS_ROOT/build-services/$name"
  mkdir -p "$dir"
  if su -s /bin/sh "$user" -c "test -x '$dir'" 2>/dev/null; then
    echo "$dir"
    return 0
  fi
  key=$(printf '%s' "$PEDIDOS_ROOT" | sha256sum | cut -c1-12)
  base="/tmp/pedidos-$key"
  mkdir -p "$base/$name"
  chmod 0755 "$base" "$base/$name"
  echo "$base/$name"
}
