#!/usr/bin/env bash
# Runs a command with a directory shared over a real network file system:
# an sshd on localhost serves it, and two sshfs mounts of it stand for two
# computers. The command sees QUILL_SHARE (the directory on the server) and
# QUILL_SHARE_A / QUILL_SHARE_B (the two mounts). Exits 77 when FUSE or the
# tools are missing, so that callers can skip with a clear message.
#   network-mount.sh COMMAND [ARGS...]
set -euo pipefail
for tool in sshd sshfs ssh-keygen fusermount3; do
  if ! command -v "$tool" >/dev/null 2>&1 && [ ! -x "/usr/sbin/$tool" ]; then
    echo "network mount skipped: $tool is not installed" >&2; exit 77
  fi
done
if [ ! -c /dev/fuse ] || [ "$(id -u)" -ne 0 ]; then
  echo "network mount skipped: FUSE (/dev/fuse, as root) is not available here" >&2; exit 77
fi

work="$(mktemp -d /tmp/quill-netmount.XXXXXX)"
port=$((20000 + RANDOM % 20000))
cleanup() {
  for m in "$work/a" "$work/b"; do mountpoint -q "$m" && fusermount3 -u "$m" 2>/dev/null || true; done
  [ -f "$work/sshd.pid" ] && kill "$(cat "$work/sshd.pid")" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/share" "$work/a" "$work/b" /run/sshd
ssh-keygen -q -t ed25519 -N '' -f "$work/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$work/client_key"
cp "$work/client_key.pub" "$work/authorized_keys"
chmod 600 "$work/authorized_keys"
cat >"$work/sshd_config" <<CONF
Port $port
ListenAddress 127.0.0.1
HostKey $work/host_key
PidFile $work/sshd.pid
AuthorizedKeysFile $work/authorized_keys
PermitRootLogin prohibit-password
PasswordAuthentication no
StrictModes no
Subsystem sftp internal-sftp
CONF
/usr/sbin/sshd -f "$work/sshd_config"
for _ in $(seq 50); do [ -f "$work/sshd.pid" ] && break; sleep 0.1; done
options="port=$port,IdentityFile=$work/client_key,StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,LogLevel=ERROR"
# QUILL_SSHFS_OPTIONS adds mount options (a test that changes the files on
# the server's side turns the client's caches off with it).
[ -n "${QUILL_SSHFS_OPTIONS:-}" ] && options="$options,$QUILL_SSHFS_OPTIONS"
for m in a b; do
  sshfs -o "$options" "$(id -un)@127.0.0.1:$work/share" "$work/$m"
done
QUILL_SHARE="$work/share" QUILL_SHARE_A="$work/a" QUILL_SHARE_B="$work/b" "$@"
