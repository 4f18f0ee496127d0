#!/usr/bin/env bash
# For the print tests: starts the CUPS scheduler when it is not running and adds the PDF
# queue eqcircle-pdf (cups-pdf's backend, which writes each job as a PDF file), and makes
# it the default queue when there is none. Needs root; elsewhere it only says why, and
# the print tests skip themselves.
set -euo pipefail
export LC_ALL=C
queue=eqcircle-pdf

if [ "$(id -u)" -ne 0 ]; then
  echo "start_cups: not root; the print tests run only if the queue $queue exists already"
  exit 0
fi
for tool in cupsd lpadmin lpinfo lpstat; do
  command -v "$tool" >/dev/null 2>&1 || { echo "start_cups: $tool is missing (package cups)"; exit 0; }
done

if ! lpstat -r 2>/dev/null | grep -q 'scheduler is running'; then
  # cupsd returns once the scheduler that it forked is ready.
  cupsd || { echo "start_cups: cupsd did not start"; exit 0; }
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  model="$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ { print $1; exit }')"
  if [ -z "$model" ]; then
    echo "start_cups: no cups-pdf driver (package printer-driver-cups-pdf)"
    exit 0
  fi
  # lpadmin warns that drivers are deprecated; cups-pdf has no other way in yet.
  lpadmin -p "$queue" -E -v cups-pdf:/ -m "$model" 2>/dev/null
fi
if lpstat -d 2>/dev/null | grep -q 'no system default destination'; then
  lpadmin -d "$queue"
fi
echo "start_cups: queue $queue ready"
