# Certificates for private servers that offer TLS. Source this file.
#   tls_test_certs DIR ADDRESS...   a CA of its own (DIR/ca.pem) and a server
#                                   certificate it signed (DIR/server-cert.pem,
#                                   DIR/server-key.pem) for the given IPv4
#                                   addresses; made once, kept while the
#                                   addresses are the same
#   tls_server_options DIR          sets TLS_OPTIONS to mariadbd's options for them

tls_test_certs() {
  local dir=$1
  shift
  local san="" addr
  for addr in "$@"; do san+="${san:+,}IP:$addr"; done
  mkdir -p "$dir"
  if [ -f "$dir/server-cert.pem" ] && [ "$(cat "$dir/san" 2>/dev/null)" = "$san" ]; then
    return 0
  fi
  (
    set -e
    cd "$dir"
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Pedidos test CA" \
      -keyout ca-key.pem -out ca.pem
    openssl req -newkey rsa:2048 -nodes -subj "/CN=${1:-localhost}" \
      -keyout server-key.pem -out server.csr
    printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\n' "$san" >server.ext
    openssl x509 -req -in server.csr -CA ca.pem -CAkey ca-key.pem -CAcreateserial -days 3650 \
      -extfile server.ext -out server-cert.pem
    rm -f server.csr server.ext
    echo "$san" >san
  ) >"$dir/openssl.log" 2>&1 || {
    cat "$dir/openssl.log" >&2
    echo "No se pudieron crear los certificados TLS en $dir." >&2
    return 1
  }
}

tls_server_options() {
  local dir=$1
  TLS_OPTIONS=(--ssl-ca="$dir/ca.pem" --ssl-cert="$dir/server-cert.pem" --ssl-key="$dir/server-key.pem")
}
