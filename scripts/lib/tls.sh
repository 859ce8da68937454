# Certificates for the tests' TLS servers and the options that give a private
# server (scripts/lib/mariadb.sh) TLS. Source this file.
#   tls_test_certs DIR ADDR...   empties DIR and makes in it, with
#       scripts/tls-certs (the technician's command, so the tests try the
#       certificates technicians get): ca.pem, ca-key.pem, server-cert.pem and
#       server-key.pem for every ADDR and DNS:localhost, client-cert.pem and
#       client-key.pem signed by ca.pem; and, for the refusals a terminal must
#       make: other-ca.pem (an unrelated CA), wronghost-cert.pem (signed by
#       ca.pem for IP:192.0.2.1 only) and expired-cert.pem (signed by ca.pem
#       for the server's names, valid from 2020-01-01 to 2021-01-01), both
#       with the key server-key.pem, so either can replace server-cert.pem.
#       Quiet; on failure prints openssl's output and returns non-zero.
#   tls_server_files FROM TO     copies ca.pem, server-cert.pem and
#       server-key.pem (kept 0600) of FROM into the folder TO: a server's own
#       copies, which a test may swap for others and put back
#   tls_server_options DIR       sets TLS_SERVER_OPTIONS to mariadbd's options
#       for the ca.pem, server-cert.pem and server-key.pem of DIR

PEDIDOS_ROOT=${PEDIDOS_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

tls_test_certs() {
  local dir=$1
  shift
  rm -rf "$dir"
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  local log="$dir/certs.log"
  {
    "$PEDIDOS_ROOT/scripts/tls-certs" --carpeta "$dir" --cliente pruebas "$@" localhost &&
      mv "$dir/client-pruebas-cert.pem" "$dir/client-cert.pem" &&
      mv "$dir/client-pruebas-key.pem" "$dir/client-key.pem" &&
      "$PEDIDOS_ROOT/scripts/tls-certs" --carpeta "$dir/other" --clave ec 192.0.2.1 &&
      mv "$dir/other/ca.pem" "$dir/other-ca.pem" && rm -rf "$dir/other" &&
      _tls_sign_with_server_key "$dir" IP:192.0.2.1 "" "" wronghost-cert.pem &&
      _tls_sign_with_server_key "$dir" "$(_tls_san "$dir/server-cert.pem")" \
        20200101000000Z 20210101000000Z expired-cert.pem
  } >"$log" 2>&1 || {
    cat "$log" >&2
    echo "No se pudieron crear los certificados de prueba en $dir." >&2
    return 1
  }
}

# The subjectAltName of a certificate, written as openssl's configuration
# takes it ("IP:127.0.0.9, DNS:localhost").
_tls_san() {
  openssl x509 -in "$1" -noout -ext subjectAltName | tail -n +2 |
    sed -E 's/^ +//; s/IP Address:/IP:/g'
}

# A certificate in DIR/OUT for the key DIR/server-key.pem and the names SAN,
# signed by DIR/ca.pem, valid from START to END (openssl's YYYYMMDDHHMMSSZ;
# both empty: from now, for 30 days). "openssl ca", unlike "openssl x509 -req",
# takes a start date.
_tls_sign_with_server_key() {
  local dir=$1 san=$2 start=$3 end=$4 out=$5 work
  work=$(mktemp -d "$dir/.sign.XXXXXX") || return 1
  : >"$work/index.txt"
  openssl rand -hex 16 >"$work/serial"
  cat >"$work/ca.cnf" <<EOF
[ca]
default_ca = test_ca
[test_ca]
database = $work/index.txt
new_certs_dir = $work
serial = $work/serial
certificate = $dir/ca.pem
private_key = $dir/ca-key.pem
default_md = sha256
default_days = 30
policy = any_name
unique_subject = no
[any_name]
commonName = supplied
[server_ext]
basicConstraints = critical,CA:FALSE
extendedKeyUsage = serverAuth
subjectAltName = $san
EOF
  local dates=()
  [ -n "$start" ] && dates=(-startdate "$start" -enddate "$end")
  openssl req -new -key "$dir/server-key.pem" -subj "/O=Pedidos/CN=pruebas" -out "$work/request.pem" &&
    openssl ca -batch -notext -config "$work/ca.cnf" -extensions server_ext "${dates[@]}" \
      -in "$work/request.pem" -out "$dir/$out"
  local rc=$?
  rm -rf "$work"
  return $rc
}

tls_server_files() {
  local from=$1 to=$2
  mkdir -p "$to"
  cp -p "$from/ca.pem" "$from/server-cert.pem" "$from/server-key.pem" "$to/"
}

tls_server_options() {
  local dir=$1
  TLS_SERVER_OPTIONS=(--ssl-ca="$dir/ca.pem" --ssl-cert="$dir/server-cert.pem" --ssl-key="$dir/server-key.pem")
}
