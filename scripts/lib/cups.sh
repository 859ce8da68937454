# Private CUPS schedulers for the demo and the tests. Source this file.
#   cups_start DIR                        start a scheduler whose files all live under DIR,
#                                         listening only on DIR/cups.sock (no TCP port), with
#                                         our backend "escpos" beside the system's (it takes
#                                         PEDIDOS_ESCPOS_BACKEND, by default the built
#                                         $PEDIDOS_ROOT/build/pedidos_escpos_backend)
#   cups_stop DIR                         stop the scheduler of DIR (also one left by an earlier run)
#   cups_server DIR                       print the value for CUPS_SERVER
#   cups_private_dir NAME                 print the folder to use for the scheduler NAME
#   cups_add_kitchen_queue DIR NAME HOST:PORT
#                                         a raw queue (no driver: the bytes go out as sent) to a
#                                         network ticket printer, retrying a job while it is down
#   cups_add_escpos_queue DIR NAME HOST:PORT
#                                         a raw queue to a network ESC/POS ticket printer through
#                                         our backend (escpos://HOST:PORT), which asks the printer
#                                         its status and holds the job while it is out of paper,
#                                         its cover is open or it is offline
#   cups_add_driver_queue DIR NAME HOST:PORT
#                                         a queue with a driver of our own that takes PDF and
#                                         passes it on unchanged (no filter program runs)
#   cups_add_refusing_queue DIR NAME      a queue that rejects every job
#   cups_add_class DIR CLASS MEMBER      a class CLASS with the queue MEMBER in it
#   cups_add_test_queues DIR HOST         the tests' queues: "Cocina" (raw, HOST:9100),
#                                         "Oficina" (driver, HOST:9101), "Rechaza" (refuses jobs),
#                                         "Parrilla" (escpos://HOST:9102, the backend's own tests),
#                                         "Plancha" (escpos://HOST:9104, the screen's printer fault
#                                         tests: the two test programs may run at once), and the
#                                         class "Cocinas" holding Cocina
#   cups_listener_start DIR PROGRAM ADDR PORT FILE
#                                         run PROGRAM (the built pedidos_printer_listener) as the
#                                         network ticket printer on ADDR:PORT, appending each job to FILE
#   cups_listener_stop DIR PORT           stop that stand-in printer
# The scheduler runs as lp (it refuses to run its backends as root), so DIR must
# be reachable by lp; everything it writes stays under DIR. Its programs
# (ServerBin) are DIR/bin: links to everything in /usr/lib/cups, and a backend
# folder holding links to the system's backends and a root-owned copy of ours,
# so nothing is written into /usr/lib/cups.

_cups_abs() { mkdir -p "$1" && (cd "$1" && pwd); }

cups_server() { echo "$(_cups_abs "$1")/cups.sock"; }

# The folder for the private scheduler NAME: build-services/NAME when lp (the
# scheduler's user) can reach it, else a folder of this checkout under /tmp (a
# clone under /root, mode 700, cannot be reached by lp).
cups_private_dir() {
  local dir="$PEDIDOS_ROOT/build-services/$1" key base
  mkdir -p "$dir"
  if su -s /bin/sh lp -c "test -x '$dir'" 2>/dev/null; then
    echo "$dir"
    return 0
  fi
  key=$(printf '%s' "$PEDIDOS_ROOT" | sha256sum | cut -c1-12)
  base="/tmp/pedidos-cups-$key"
  mkdir -p "$base/$1"
  chmod 0755 "$base" "$base/$1"
  echo "$base/$1"
}

# The pid of the scheduler started for DIR, when it still runs with DIR's
# configuration: the one our start wrote down, or the one cupsd wrote itself.
_cups_pid() {
  local dir=$1 file pid
  for file in "$dir/cupsd.pid" "$dir/state/cupsd.pid"; do
    [ -f "$file" ] || continue
    pid=$(cat "$file")
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || continue
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "$dir/cupsd.conf" || continue
    echo "$pid"
    return 0
  done
  return 1
}

_cups_write_config() {
  local dir=$1
  cat >"$dir/cupsd.conf" <<EOF
# Private scheduler: a local socket only, no browsing, no web pages, and no
# authentication, so that lpadmin and the tests can work without a password.
Listen $dir/cups.sock
LogLevel info
MaxLogSize 0
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
DefaultShared No
ErrorPolicy retry-job
JobRetryInterval 2
PreserveJobHistory Yes
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF
  cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
ServerBin $dir/bin
User lp
Group lp
SystemGroup root
LogFileGroup root
CreateSelfSignedCerts no
FileDevice No
EOF
}

_cups_prepare_dir() {
  local dir=$1
  # A fresh start: no queues, jobs or caches of an earlier run.
  rm -rf "$dir/spool" "$dir/cache" "$dir/state" "$dir/ppd" "$dir/log" \
    "$dir/printers.conf" "$dir/printers.conf.O" "$dir/classes.conf" "$dir/subscriptions.conf" \
    "$dir/cups.sock" "$dir/printcap" "$dir/bin"
  mkdir -p "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/ppd" "$dir/log"
  chown root:lp "$dir/spool" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/ppd"
  chmod 0710 "$dir/spool"
  chmod 1770 "$dir/spool/tmp"
  chmod 0770 "$dir/cache"
  chmod 0755 "$dir/state" "$dir/ppd" "$dir" "$dir/log"
  _cups_write_config "$dir"
  _cups_server_bin "$dir"
}

# The built backend "escpos" the private schedulers run.
_cups_escpos_backend() {
  echo "${PEDIDOS_ESCPOS_BACKEND:-$PEDIDOS_ROOT/build/pedidos_escpos_backend}"
}

# DIR/bin, the scheduler's ServerBin: every folder of /usr/lib/cups linked,
# but the backend folder a real one, holding links to the system's backends
# and our backend copied in. The scheduler runs a backend only when the
# file and its folder are root's and writable by no one else; mode 0755 (not
# 0700) makes it run the backend as lp.
_cups_server_bin() {
  local dir=$1 entry
  mkdir -p "$dir/bin/backend"
  for entry in /usr/lib/cups/*; do
    [ "$(basename "$entry")" = backend ] && continue
    ln -s "$entry" "$dir/bin/$(basename "$entry")"
  done
  for entry in /usr/lib/cups/backend/*; do
    ln -s "$entry" "$dir/bin/backend/$(basename "$entry")"
  done
  install -o root -g root -m 0755 "$(_cups_escpos_backend)" "$dir/bin/backend/escpos"
  chown root:root "$dir/bin" "$dir/bin/backend"
  chmod 0755 "$dir/bin" "$dir/bin/backend"
}

cups_start() {
  local dir
  dir=$(_cups_abs "$1") || return 1
  if [ "$(id -u)" -ne 0 ]; then
    echo "El CUPS privado se arranca como root (el planificador pasa a ser lp)." >&2
    return 1
  fi
  if [ ${#dir} -gt 96 ]; then  # a local socket's path holds at most 107 bytes
    echo "La carpeta $dir es demasiado larga para el socket del CUPS privado." >&2
    return 1
  fi
  if ! su -s /bin/sh lp -c "test -x '$dir'" 2>/dev/null; then
    echo "El usuario lp no puede entrar en $dir: el CUPS privado necesita esa carpeta accesible." >&2
    return 1
  fi
  if [ ! -x /usr/lib/cups/backend/socket ]; then
    # Debian links the backends chosen in debconf (cupsys/backend) in when it installs cups.
    echo "Falta el backend socket de CUPS (/usr/lib/cups/backend/socket): ejecute dpkg-reconfigure cups y elija socket." >&2
    return 1
  fi
  if [ ! -x "$(_cups_escpos_backend)" ]; then
    echo "Falta el backend escpos ($(_cups_escpos_backend)): compile el proyecto (cmake --build build)" \
      "o indique otro con PEDIDOS_ESCPOS_BACKEND." >&2
    return 1
  fi
  cups_stop "$dir"
  _cups_prepare_dir "$dir"
  local check
  if ! check=$(cupsd -t -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" 2>&1); then
    echo "$check" >&2
    echo "La configuración del CUPS privado ($dir) no es válida." >&2
    return 1
  fi
  cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
  echo $! >"$dir/cupsd.pid"
  local i
  for i in $(seq 1 100); do
    if CUPS_SERVER="$dir/cups.sock" LC_ALL=C lpstat -r 2>/dev/null | grep -q "is running"; then
      return 0
    fi
    _cups_pid "$dir" >/dev/null || break
    sleep 0.1
  done
  cat "$dir/log/cupsd.out" >&2 2>/dev/null || true
  tail -n 20 "$dir/log/error_log" >&2 2>/dev/null || true
  echo "El CUPS privado no arrancó (registro: $dir/log/error_log)." >&2
  cups_stop "$dir"
  return 1
}

cups_stop() {
  local dir pid
  dir=$(_cups_abs "$1") || return 1
  pid=$(_cups_pid "$dir") || { rm -f "$dir/cupsd.pid"; return 0; }
  kill "$pid" 2>/dev/null || true
  local i
  for i in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || { rm -f "$dir/cupsd.pid"; return 0; }
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$dir/cupsd.pid"
}

# lpadmin and friends against the scheduler of DIR; loud when they fail.
_cups_admin() {
  local dir=$1 out
  shift
  if ! out=$(CUPS_SERVER="$dir/cups.sock" "$@" 2>&1); then
    echo "$out" >&2
    echo "Falló en el CUPS privado ($dir): $*" >&2
    return 1
  fi
}

cups_add_kitchen_queue() {
  local dir=$1 name=$2 hostport=$3
  dir=$(_cups_abs "$dir") || return 1
  _cups_admin "$dir" lpadmin -p "$name" -v "socket://$hostport" -E \
    -o printer-error-policy=retry-job -D "Impresora de comandas $name"
}

cups_add_escpos_queue() {
  local dir=$1 name=$2 hostport=$3
  dir=$(_cups_abs "$dir") || return 1
  _cups_admin "$dir" lpadmin -p "$name" -v "escpos://$hostport" -E \
    -o printer-error-policy=retry-job -D "Impresora de comandas ESC/POS $name"
}

# A driver that takes PDF and sends it as it is: *cupsFilter "application/pdf 0 -"
# makes PDF the printer's own format, so the scheduler runs no filter at all.
_cups_write_pdf_ppd() {
  cat >"$1" <<'EOF'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PEDIDOS.PPD"
*Manufacturer: "Pedidos"
*Product: "(Pedidos PDF)"
*ModelName: "Pedidos PDF"
*ShortNickName: "Pedidos PDF"
*NickName: "Pedidos PDF"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsVersion: 2.4
*cupsFilter: "application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A5
*PageSize A5/A5: "<</PageSize[420 595]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A5
*PageRegion A5/A5: "<</PageSize[420 595]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A5
*ImageableArea A5/A5: "0 0 420 595"
*DefaultPaperDimension: A5
*PaperDimension A5/A5: "420 595"
EOF
}

cups_add_driver_queue() {
  local dir=$1 name=$2 hostport=$3
  dir=$(_cups_abs "$dir") || return 1
  _cups_write_pdf_ppd "$dir/pedidos-pdf.ppd"
  # snmp=false: with a driver, the socket backend first asks the printer for
  # its supply levels over SNMP, and waits about 4 s for a stand-in that has none.
  _cups_admin "$dir" lpadmin -p "$name" -v "socket://$hostport/?snmp=false" -P "$dir/pedidos-pdf.ppd" -E \
    -o printer-error-policy=retry-job -D "Impresora con driver $name"
}

cups_add_refusing_queue() {
  local dir=$1 name=$2
  dir=$(_cups_abs "$dir") || return 1
  # The device is never reached: every job is rejected before it is queued.
  _cups_admin "$dir" lpadmin -p "$name" -v "socket://127.0.0.1:9" -E &&
    _cups_admin "$dir" cupsreject -r "Cola cerrada para pruebas" "$name"
}

# A class CLASS holding the queue MEMBER (several kitchen printers under one name).
cups_add_class() {
  local dir=$1 class=$2 member=$3
  dir=$(_cups_abs "$dir") || return 1
  _cups_admin "$dir" lpadmin -p "$member" -c "$class" &&
    _cups_admin "$dir" cupsenable "$class" &&
    _cups_admin "$dir" cupsaccept "$class"
}

cups_add_test_queues() {
  local dir=$1 host=$2
  cups_add_kitchen_queue "$dir" Cocina "$host:9100" &&
    cups_add_driver_queue "$dir" Oficina "$host:9101" &&
    cups_add_refusing_queue "$dir" Rechaza &&
    cups_add_escpos_queue "$dir" Parrilla "$host:9102" &&
    cups_add_escpos_queue "$dir" Plancha "$host:9104" &&
    cups_add_class "$dir" Cocinas Cocina
}

_cups_listener_pidfile() { echo "$1/listener-$2.pid"; }

cups_listener_stop() {
  local dir=$1 port=$2 pidfile pid
  dir=$(_cups_abs "$dir") || return 1
  pidfile=$(_cups_listener_pidfile "$dir" "$port")
  [ -f "$pidfile" ] || return 0
  pid=$(cat "$pidfile")
  if [ -n "$pid" ] && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "pedidos_printer_listener"; then
    kill "$pid" 2>/dev/null || true
    local i
    for i in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  rm -f "$pidfile"
}

cups_listener_start() {
  local dir=$1 program=$2 addr=$3 port=$4 file=$5
  dir=$(_cups_abs "$dir") || return 1
  cups_listener_stop "$dir" "$port"
  mkdir -p "$dir/log"
  "$program" "$addr" "$port" "$file" 2>"$dir/log/listener-$port.log" &
  echo $! >"$(_cups_listener_pidfile "$dir" "$port")"
  # It says so on its log once it listens; it ends at once when the port is taken.
  local i
  for i in $(seq 1 50); do
    grep -q "^Impresora de prueba en $addr:$port" "$dir/log/listener-$port.log" 2>/dev/null && return 0
    kill -0 "$!" 2>/dev/null || break
    sleep 0.1
  done
  cat "$dir/log/listener-$port.log" >&2 2>/dev/null || true
  echo "La impresora de prueba no arrancó en $addr:$port." >&2
  cups_listener_stop "$dir" "$port"
  return 1
}
