#!/bin/bash
# scripts/tls-certs (the technician's certificates) and the tests' set made
# from it (scripts/lib/tls.sh), judged by openssl: what each certificate is
# accepted for, what is refused, and what a refused command leaves behind.
#   tls_certs_test.sh SOURCE_DIR
set -uo pipefail
PEDIDOS_ROOT=$1
export PEDIDOS_ROOT
TLS_CERTS="$PEDIDOS_ROOT/scripts/tls-certs"
work=$(mktemp -d /tmp/pedidos-tls-certs-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fault() { echo "FALLA: $*"; failures=$((failures + 1)); }
# expect ok|fail WHAT COMMAND...
expect() {
  local want=$1 what=$2 got=ok
  shift 2
  "$@" >"$work/out" 2>&1 || got=fail
  [ "$got" = "$want" ] || { fault "$what: se esperaba $want"; cat "$work/out"; }
}
same_key() { [ "$(openssl x509 -in "$1" -noout -pubkey)" = "$(openssl pkey -in "$2" -pubout)" ]; }
valid_days() { openssl x509 -in "$1" -noout -checkend $(($2 * 86400)) >/dev/null; }
san() { openssl x509 -in "$1" -noout -ext subjectAltName | tail -n +2 | sed 's/^ *//'; }
mode() { stat -c %a "$1"; }

# --- A run, for each kind of key: the server's names (repeated once), a
# terminal's certificate, validity, rights, and the key each certificate holds.
for row in "rsa|Private-Key: (2048 bit" "ec|ASN1 OID: prime256v1"; do
  type=${row%%|*} key_text=${row#*|} d="$work/$type"
  "$TLS_CERTS" --carpeta "$d" --clave "$type" --cliente caja1 127.0.0.81 servidor.local 127.0.0.81 >"$d.out" 2>&1 ||
    { fault "$type: tls-certs falló"; cat "$d.out"; continue; }
  [ "$(san "$d/server-cert.pem")" = "IP Address:127.0.0.81, DNS:servidor.local" ] ||
    fault "$type: subjectAltName es '$(san "$d/server-cert.pem")'"
  openssl pkey -in "$d/server-key.pem" -noout -text | grep -qF "$key_text" || fault "$type: la clave no es $key_text"
  openssl x509 -in "$d/server-cert.pem" -noout -text | grep -qE 'Signature Algorithm: (sha256WithRSAEncryption|ecdsa-with-SHA256)' ||
    fault "$type: el certificado no está firmado con SHA-256"
  expect ok "$type: servidor por su IP" openssl verify -CAfile "$d/ca.pem" -purpose sslserver -verify_ip 127.0.0.81 "$d/server-cert.pem"
  expect ok "$type: servidor por su nombre" openssl verify -CAfile "$d/ca.pem" -purpose sslserver -verify_hostname servidor.local "$d/server-cert.pem"
  expect fail "$type: servidor por otra IP" openssl verify -CAfile "$d/ca.pem" -verify_ip 127.0.0.82 "$d/server-cert.pem"
  expect fail "$type: servidor usado como cliente" openssl verify -CAfile "$d/ca.pem" -purpose sslclient "$d/server-cert.pem"
  expect ok "$type: terminal caja1" openssl verify -CAfile "$d/ca.pem" -purpose sslclient "$d/client-caja1-cert.pem"
  same_key "$d/server-cert.pem" "$d/server-key.pem" || fault "$type: server-key.pem no es la clave de server-cert.pem"
  same_key "$d/client-caja1-cert.pem" "$d/client-caja1-key.pem" || fault "$type: la clave de caja1 no es la de su certificado"
  same_key "$d/ca.pem" "$d/ca-key.pem" || fault "$type: ca-key.pem no es la clave de ca.pem"
  valid_days "$d/server-cert.pem" 720 && ! valid_days "$d/server-cert.pem" 740 || fault "$type: el servidor no vale unos 2 años"
  valid_days "$d/ca.pem" 3640 && ! valid_days "$d/ca.pem" 3660 || fault "$type: la CA no vale unos 10 años"
  for f in ca-key server-key client-caja1-key; do [ "$(mode "$d/$f.pem")" = 600 ] || fault "$type: $f.pem en modo $(mode "$d/$f.pem")"; done
  for f in ca server-cert; do [ "$(mode "$d/$f.pem")" = 644 ] || fault "$type: $f.pem en modo $(mode "$d/$f.pem")"; done
done

# --- A second run keeps the CA: the terminals' ca.pem still trusts the new
# server certificate, and the old one too.
d="$work/rsa"
cp "$d/ca.pem" "$work/ca-before.pem"
cp "$d/server-cert.pem" "$work/server-before.pem"
"$TLS_CERTS" --carpeta "$d" 192.168.1.10 >/dev/null 2>&1 || fault "segunda ejecución: falló"
cmp -s "$d/ca.pem" "$work/ca-before.pem" || fault "segunda ejecución: cambió ca.pem"
[ "$(san "$d/server-cert.pem")" = "IP Address:192.168.1.10" ] || fault "segunda ejecución: subjectAltName '$(san "$d/server-cert.pem")'"
expect ok "segunda ejecución: certificado nuevo" openssl verify -CAfile "$work/ca-before.pem" -verify_ip 192.168.1.10 "$d/server-cert.pem"
expect ok "segunda ejecución: certificado anterior" openssl verify -CAfile "$d/ca.pem" "$work/server-before.pem"

# --- Refusals: the status, the message, and the folder untouched.
# refused STATUS MESSAGE DIR ARG...   (tls-certs --carpeta DIR ARG..., with
# the PATH in tls_path when set)
refused() {
  local status=$1 message=$2 dir=$3 rc=0 before after
  shift 3
  before=$(ls -A "$dir" 2>/dev/null | sort; cat "$dir"/*.pem 2>/dev/null | md5sum)
  PATH=${tls_path:-$PATH} "$TLS_CERTS" --carpeta "$dir" "$@" >"$work/out" 2>&1 || rc=$?
  after=$(ls -A "$dir" 2>/dev/null | sort; cat "$dir"/*.pem 2>/dev/null | md5sum)
  [ "$rc" = "$status" ] || fault "tls-certs $*: estado $rc, se esperaba $status"
  grep -qF "$message" "$work/out" || { fault "tls-certs $*: falta «$message»"; cat "$work/out"; }
  [ "$before" = "$after" ] || fault "tls-certs $*: cambió la carpeta $dir"
}
touch "$work/archivo"
mkdir -p "$work/sin-clave" "$work/otra-clave"
cp "$work/rsa/ca.pem" "$work/sin-clave/"
cp "$work/rsa/ca.pem" "$work/otra-clave/"
cp "$work/ec/ca-key.pem" "$work/otra-clave/"
refused 2 "indique al menos un nombre" "$work/nueva"
refused 2 "«300.1.2.3» no es un nombre de equipo" "$work/nueva" 300.1.2.3
refused 2 "«dos palabras» no es un nombre de equipo" "$work/nueva" "dos palabras"
refused 2 "tipo de clave desconocido: «dsa»" "$work/nueva" --clave dsa 10.0.0.1
refused 2 "«../x» no sirve como nombre de terminal" "$work/nueva" --cliente ../x
refused 2 "opción desconocida: «--dias»" "$work/nueva" --dias 5 10.0.0.1
refused 1 "no es una carpeta" "$work/archivo" 10.0.0.1
refused 1 "no se pudo crear la carpeta" "$work/archivo/sub" 10.0.0.1
refused 1 "falta su clave ca-key.pem" "$work/sin-clave" 10.0.0.1
refused 1 "ca-key.pem no es la clave de ca.pem" "$work/otra-clave" 10.0.0.1
tls_path="$work/sin-programas" refused 1 "no se encontró el programa openssl" "$work/nueva" 10.0.0.1
[ ! -e "$work/nueva" ] || fault "una orden rechazada creó la carpeta"

# --- The tests' set: each certificate is accepted or refused for what the
# terminal's tests use it for.
# shellcheck source=../../scripts/lib/tls.sh
source "$PEDIDOS_ROOT/scripts/lib/tls.sh"
t="$work/pruebas"
tls_test_certs "$t" 127.0.0.81 >/dev/null || fault "tls_test_certs falló"
# WANT|WHAT|OPENSSL'S REASON|CERTIFICATE|CA|VERIFY OPTIONS
while IFS='|' read -r want what reason cert ca options; do
  # shellcheck disable=SC2086  # the options are words
  expect "$want" "$what" openssl verify -CAfile "$t/$ca" $options "$t/$cert"
  [ -z "$reason" ] || grep -qF "$reason" "$work/out" || { fault "$what: no por «$reason»"; cat "$work/out"; }
done <<EOF
ok|servidor||server-cert.pem|ca.pem|-purpose sslserver -verify_ip 127.0.0.81
ok|servidor como localhost||server-cert.pem|ca.pem|-verify_hostname localhost
fail|CA ajena|unable to get local issuer certificate|server-cert.pem|other-ca.pem|
fail|vencido|certificate has expired|expired-cert.pem|ca.pem|-verify_ip 127.0.0.81
ok|vencido, sin mirar la fecha||expired-cert.pem|ca.pem|-no_check_time -verify_ip 127.0.0.81
fail|otro nombre|IP address mismatch|wronghost-cert.pem|ca.pem|-verify_ip 127.0.0.81
ok|otro nombre, el suyo||wronghost-cert.pem|ca.pem|-verify_ip 192.0.2.1
ok|cliente||client-cert.pem|ca.pem|-purpose sslclient
EOF
for cert in server-cert expired-cert wronghost-cert; do
  same_key "$t/$cert.pem" "$t/server-key.pem" || fault "$cert.pem no tiene la clave server-key.pem"
done
same_key "$t/client-cert.pem" "$t/client-key.pem" || fault "client-key.pem no es la clave de client-cert.pem"
[ "$(openssl x509 -in "$t/expired-cert.pem" -noout -dates | tr '\n' ' ')" = \
  "notBefore=Jan  1 00:00:00 2020 GMT notAfter=Jan  1 00:00:00 2021 GMT " ] || fault "fechas de expired-cert.pem"
[ "$(san "$t/expired-cert.pem")" = "$(san "$t/server-cert.pem")" ] || fault "expired-cert.pem no tiene los nombres del servidor"

[ "$failures" = 0 ] && echo "tls-certs: todo bien" || echo "tls-certs: $failures fallas"
[ "$failures" = 0 ]
