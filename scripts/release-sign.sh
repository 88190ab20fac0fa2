# Authenticode signing for scripts/release (sourced): the key and certificate are checked
# before anything is built; the exe is signed with SHA-256 by osslsigncode, verified against
# the certificate, and the signature removed again must give back the unsigned bytes.
# QS_SIGN_CERT and QS_SIGN_KEY: PEM certificate (chain) and PEM key, or one PKCS#12 file named
# by both. QS_SIGN_PASSWORD: the key's or the PKCS#12 file's password, if it has one.

release_fail() { echo "release: $*" >&2; exit 1; }

# Checks the signing inputs and leaves the signer's certificate in DIR/cert.pem.
release_signing_prepare() {
  local dir=$1 cert=${QS_SIGN_CERT:-} key=${QS_SIGN_KEY:-}
  [ -n "$cert" ] || release_fail "QS_SIGN_KEY is set but QS_SIGN_CERT is not"
  [ -n "$key" ] || release_fail "QS_SIGN_CERT is set but QS_SIGN_KEY is not"
  [ -f "$cert" ] && [ -r "$cert" ] || release_fail "cannot read the signing certificate $cert"
  [ -f "$key" ] && [ -r "$key" ] || release_fail "cannot read the signing key $key"
  export QS_SIGN_PASSWORD=${QS_SIGN_PASSWORD:-}
  mkdir -p -m 700 "$dir"
  if grep -q -- '-----BEGIN' "$key"; then
    openssl x509 -in "$cert" -out "$dir/cert.pem" 2>/dev/null ||
      release_fail "$cert is not a PEM certificate"
    openssl pkey -in "$key" -passin env:QS_SIGN_PASSWORD -pubout -out "$dir/key.pub" 2>/dev/null ||
      release_fail "cannot open the signing key $key (wrong password?)"
  else
    [ "$cert" -ef "$key" ] ||
      release_fail "$key is not a PEM key; a PKCS#12 file must be named by both QS_SIGN_CERT and QS_SIGN_KEY"
    openssl pkcs12 -in "$key" -passin env:QS_SIGN_PASSWORD -nokeys -clcerts -out "$dir/cert.pem" \
      2>/dev/null || release_fail "cannot open the PKCS#12 file $key (wrong password?)"
    openssl pkcs12 -in "$key" -passin env:QS_SIGN_PASSWORD -nocerts -nodes 2>/dev/null |
      openssl pkey -pubout -out "$dir/key.pub" 2>/dev/null ||
      release_fail "the PKCS#12 file $key holds no usable key"
  fi
  [ "$(openssl x509 -in "$dir/cert.pem" -noout -pubkey)" = "$(cat "$dir/key.pub")" ] ||
    release_fail "the signing key $key does not belong to the certificate $cert"
  openssl x509 -in "$dir/cert.pem" -noout -ext extendedKeyUsage 2>/dev/null | grep -q 'Code Signing' ||
    release_fail "the certificate $cert is not for code signing (no extendedKeyUsage codeSigning)"
  openssl x509 -in "$dir/cert.pem" -noout -checkend 0 >/dev/null ||
    release_fail "the certificate $cert has expired"
}

# Signs EXE in place: signed, verified and round-tripped in DIR first, then moved over EXE.
release_sign() {
  local exe=$1 dir=$2
  local credentials=(-certs "$QS_SIGN_CERT" -key "$QS_SIGN_KEY")
  grep -q -- '-----BEGIN' "$QS_SIGN_KEY" || credentials=(-pkcs12 "$QS_SIGN_KEY")
  printf '%s' "$QS_SIGN_PASSWORD" >"$dir/password"
  [ -z "$QS_SIGN_PASSWORD" ] || credentials+=(-readpass "$dir/password")
  osslsigncode sign "${credentials[@]}" -h sha256 -n "Quillset" \
    -in "$exe" -out "$dir/signed.exe" >"$dir/sign.log" 2>&1 ||
    release_fail "osslsigncode could not sign: $(tail -n 1 "$dir/sign.log")"
  rm -f "$dir/password"
  osslsigncode verify -CAfile "${QS_SIGN_CA:-$dir/cert.pem}" -in "$dir/signed.exe" \
    >"$dir/verify.log" 2>&1 ||
    release_fail "the signature does not verify against $QS_SIGN_CERT: $(grep -m1 -i 'fail\|error' "$dir/verify.log")"
  osslsigncode remove-signature -in "$dir/signed.exe" -out "$dir/unsigned-again.exe" \
    >/dev/null 2>&1 || release_fail "osslsigncode could not remove the signature again"
  cmp -s "$dir/unsigned-again.exe" "$exe" ||
    release_fail "removing the signature does not give back the unsigned exe"
  echo "release: signed, verified against the certificate; removing the signature gives back the unsigned exe"
  mv -f "$dir/signed.exe" "$exe"
}

# The signer's subject, one line.
release_signer() {
  openssl x509 -in "$1/cert.pem" -noout -subject -nameopt oneline | sed 's/^subject= *//'
}
