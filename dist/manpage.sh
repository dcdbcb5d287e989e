#!/bin/sh
# Writes a program's gzipped manual page from its --help, with Debian's help2man.
#   manpage.sh PROGRAM VERSION SUMMARY SEE-ALSO OUT.gz [--subcommands]
# With --subcommands, the page also carries each subcommand's own --help; the subcommands are the
# words after "NAME " at the start of an indented line of the top-level help ("  halvane2-cli bench ...").
set -eu
program=$1 version=$2 summary=$3 see_also=$4 out=$5
name=$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# help2man names the page after the file it runs; a program that does not answer in time fails the build.
# A "Usage:" line followed by indented "NAME ..." lines becomes help2man's "Usage: ... / or: ..." form,
# so each usage stays on its own line of the synopsis.
cat >"$work/$name" <<WRAPPER
#!/bin/sh
timeout 60 "$program" "\$@" | awk -v name="$name" '
  /^Usage:\$/ { usage = 1; next }
  usage && \$1 == name { sub(/^[[:space:]]+/, ""); print (usage++ == 1 ? "Usage: " : "  or:  ") \$0; next }
  { usage = 0; print }'
WRAPPER
chmod +x "$work/$name"

roff_text() {  # plain text for a no-fill block
  sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\\\&&/"
}

{
  printf '[SEE ALSO]\n%s\n' "$see_also"
  if [ "${6:-}" = --subcommands ]; then
    printf '[SUBCOMMANDS]\n'
    timeout 60 "$program" --help | sed -n "s/^[[:space:]]\{1,\}$name \([a-z][a-z-]*\).*/\1/p" |
      while read -r sub; do
        printf '.SS %s\n.nf\n' "$sub"
        timeout 60 "$program" "$sub" --help | roff_text
        printf '.fi\n'
      done
  fi
} >"$work/include"

# The help texts carry Japanese: help2man must read and write them as UTF-8.
"${HV_HELP2MAN:-help2man}" --locale=C.UTF-8 --no-info --version-string="$version" \
  --name="$summary" --include="$work/include" --output="$work/page" "$work/$name"
gzip -9n <"$work/page" >"$out"
