#!/usr/bin/env python3
"""Signs a version file for the download server, or tells a key's public half.

  sign-version-file.py <private key> <version file>
      Appends "|" and the ECDSA P-256 signature (r then s, 128 lowercase
      hexadecimal digits) over the SHA-256 digest of the file's four fields,
      after checking the signature against the key's public half. The file
      is changed only when that check passed.
  sign-version-file.py --public <key>
      Prints the public half of a P-256 key (private or public PEM) as X then
      Y, 128 lowercase hexadecimal digits: what the program compiles in and
      what the UpdatePublicKey policy holds.
"""
import os
import pathlib
import subprocess
import sys
import tempfile

# DER SubjectPublicKeyInfo of an uncompressed P-256 key: these bytes, X, Y.
P256_PREFIX = bytes.fromhex("3059301306072a8648ce3d020106082a8648ce3d03010703420004")


def fail(reason):
    sys.exit(f"sign-version-file: {reason}")


def openssl(*args, data=None):
    done = subprocess.run(["openssl", *args], input=data, capture_output=True)
    if done.returncode != 0:
        fail(f"openssl {args[0]}: {done.stderr.decode(errors='replace').strip()}")
    return done.stdout


def public_der(key):
    try:
        text = pathlib.Path(key).read_bytes()
    except OSError as error:
        fail(f"{key}: {error.strerror}")
    public = b"PUBLIC KEY-----" in text and b"PRIVATE" not in text
    der = openssl("pkey", *(["-pubin"] if public else ["-pubout"]), "-in", key, "-outform", "DER")
    if len(der) != len(P256_PREFIX) + 64 or not der.startswith(P256_PREFIX):
        fail(f"{key} is no P-256 key with an uncompressed public point")
    return der


def der_integer(value):
    value = value.lstrip(b"\0") or b"\0"
    if value[0] & 0x80:
        value = b"\0" + value
    return bytes([2, len(value)]) + value


def raw_to_der(raw):
    body = der_integer(raw[:32]) + der_integer(raw[32:])
    return bytes([0x30, len(body)]) + body


def der_to_raw(der):
    """r and s out of the DER SEQUENCE of two INTEGERs that openssl writes."""
    if len(der) < 8 or der[0] != 0x30 or der[1] != len(der) - 2:
        fail("openssl wrote a signature that is not a P-256 one")
    raw, at = b"", 2
    for _ in range(2):
        if der[at] != 2:
            fail("openssl wrote a signature that is not a P-256 one")
        size = der[at + 1]
        number = der[at + 2:at + 2 + size].lstrip(b"\0")
        if len(number) > 32:
            fail("openssl wrote a signature that is not a P-256 one")
        raw += number.rjust(32, b"\0")
        at += 2 + size
    return raw


def sign(key, version_file):
    try:
        fields = pathlib.Path(version_file).read_bytes()
    except OSError as error:
        fail(f"{version_file}: {error.strerror}")
    if fields.count(b"|") != 3:
        fail(f"{version_file} must hold exactly four fields, with no signature yet")
    public = public_der(key)
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        (work / "fields").write_bytes(fields)
        openssl("dgst", "-sha256", "-sign", key, "-out", str(work / "signature.der"),
                str(work / "fields"))
        raw = der_to_raw((work / "signature.der").read_bytes())
        # The check runs on what goes into the file, turned back into DER,
        # with the public half alone.
        (work / "check.der").write_bytes(raw_to_der(raw))
        (work / "public.der").write_bytes(public)
        openssl("dgst", "-sha256", "-verify", str(work / "public.der"), "-keyform", "DER",
                "-signature", str(work / "check.der"), str(work / "fields"))
    signed = pathlib.Path(version_file + ".signed")
    signed.write_bytes(fields + b"|" + raw.hex().encode())
    os.replace(signed, version_file)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--public":
        print(public_der(sys.argv[2])[len(P256_PREFIX):].hex())
    elif len(sys.argv) == 3:
        sign(sys.argv[1], sys.argv[2])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
