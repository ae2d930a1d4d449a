#!/bin/sh
# The encrypted archive a Wine test left ($1): the host's 7-Zip reads it with its
# password and refuses it without.
set -u
[ -f "$1" ] || { echo "no archive at $1"; exit 1; }
7z t -pSenha-Secreta-42 "$1" >/dev/null || { echo "7z t with the password failed"; exit 1; }
if 7z t -p "$1" </dev/null >/dev/null 2>&1; then echo "7z t without the password passed"; exit 1; fi
echo "7z: ok with the password, refused without"
