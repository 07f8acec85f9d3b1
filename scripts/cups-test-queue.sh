#!/bin/sh
# A print queue of its own for the printing tests: a cups-pdf printer whose
# jobs end up as PDF files that the tests read back.
#   cups-test-queue.sh start QUEUE   starts cupsd if needed, adds QUEUE and
#                                    prints the folder the PDFs land in
#   cups-test-queue.sh stop QUEUE    removes QUEUE again
set -eu

action=${1:-}
queue=${2:-}
if [ -z "$action" ] || [ -z "$queue" ]; then
    echo "usage: $0 start|stop QUEUE" >&2
    exit 2
fi

scheduler_running() {
    lpstat -r 2>/dev/null | grep -q "is running"
}

# Where cups-pdf writes the jobs of the user running this script.
output_dir() {
    out=""
    conf=/etc/cups/cups-pdf.conf
    if [ -r "$conf" ]; then
        out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\{1,\}//p' "$conf" | tail -n 1)
    fi
    [ -n "$out" ] || out='/var/spool/cups-pdf/${USER}'
    user=$(id -un)
    home=$(getent passwd "$user" | cut -d: -f6)
    printf '%s\n' "$out" | sed -e "s|\${HOME}|$home|g" -e "s|\${USER}|$user|g"
}

case "$action" in
start)
    if ! scheduler_running; then
        cupsd
        tries=0
        until scheduler_running; do
            tries=$((tries + 1))
            if [ "$tries" -gt 50 ]; then
                echo "cupsd did not start" >&2
                exit 1
            fi
            sleep 0.2
        done
    fi
    ppd=$(lpinfo -m 2>/dev/null | awk '/cups-pdf/ && /noopt/ { print $1; exit }')
    [ -n "$ppd" ] || ppd=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF/ { print $1; exit }')
    if [ -z "$ppd" ]; then
        echo "no cups-pdf driver installed" >&2
        exit 1
    fi
    # Through cairo the text stays text with its Unicode; the default
    # Ghostscript route gives fonts that pdftotext cannot read back.
    lpadmin -p "$queue" -E -v cups-pdf:/ -m "$ppd" -o pdftops-renderer-default=pdftocairo 2>/dev/null
    dir=$(output_dir)
    mkdir -p "$dir"
    echo "$dir"
    ;;
stop)
    if scheduler_running; then
        cancel -a "$queue" 2>/dev/null || true
        lpadmin -x "$queue" 2>/dev/null || true
    fi
    ;;
*)
    echo "usage: $0 start|stop QUEUE" >&2
    exit 2
    ;;
esac
