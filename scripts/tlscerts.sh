#!/usr/bin/env bash
# A CA of its own and server certificates signed by it, with openssl, for the
# private servers of the tests and the demo (the README gives an office the
# same commands).
#   tlscerts.sh ca DIR                  DIR/ca.pem and DIR/ca.key, made once
#   tlscerts.sh server DIR OUT NAME...  OUT.pem and OUT.key for the host names
#                                       or IP addresses NAME..., signed by DIR's CA
#   tlscerts.sh client DIR OUT NAME     a workstation's certificate, signed by DIR's CA
set -euo pipefail

cmd="${1:?usage: tlscerts.sh ca DIR | server DIR OUT NAME...}"
dir="${2:?usage: tlscerts.sh $cmd DIR ...}"
mkdir -p "$dir"

case "$cmd" in
  ca)
    if [[ ! -f "$dir/ca.pem" ]]; then
      openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Kantoor CA $(basename "$dir")" \
        -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null
    fi
    ;;
  server | client)
    out="${3:?usage: tlscerts.sh $cmd DIR OUT NAME...}"
    shift 3
    (($#)) || { echo "tlscerts.sh: at least one host name" >&2; exit 2; }
    san=()
    for n in "$@"; do
      if [[ "$n" =~ ^[0-9.]+$ || "$n" == *:* ]]; then san+=("IP:$n"); else san+=("DNS:$n"); fi
    done
    ext="$(mktemp)"
    trap 'rm -f "$ext" "$out.csr"' EXIT
    usage=serverAuth
    [[ "$cmd" == client ]] && usage=clientAuth
    printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=%s\n' \
      "$(IFS=,; echo "${san[*]}")" "$usage" >"$ext"
    openssl req -newkey rsa:2048 -nodes -subj "/CN=$1" -keyout "$out.key" -out "$out.csr" 2>/dev/null
    openssl x509 -req -in "$out.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" -CAcreateserial \
      -days 825 -extfile "$ext" -out "$out.pem" 2>/dev/null
    chmod 600 "$out.key"
    ;;
  *) echo "unknown command $cmd" >&2; exit 2 ;;
esac
