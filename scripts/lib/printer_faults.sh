# The printer faults bench's short run inside scripts/test. Source this file.
#   printer_faults_short BUILD SECONDS
#       runs BUILD/bench/bench_printer_faults for SECONDS of orders against the
#       tests' server (a database of its own, printer_faults) and CUPS (a kitchen
#       queue of its own through our escpos backend, "FallosImpresora", to a
#       stand-in printer on PEDIDOS_TEST_PRINTER_HOST:9112 that the bench runs and
#       makes fail). Prints the bench's lines; non-zero when a check failed (a
#       ticket lost without the waiter told, one printed twice, a fault told late).
#       The log goes to BUILD/printer_faults.log, the printed lines also to
#       BUILD/printer_faults.out.

printer_faults_short() {
  local build=$1 seconds=$2 db=printer_faults queue=FallosImpresora
  db_load "$PEDIDOS_TEST_DB_DIR" "$db" || return 1
  cups_add_escpos_queue "$PEDIDOS_TEST_CUPS_DIR" "$queue" "$PEDIDOS_TEST_PRINTER_HOST:9112" || return 1
  : >"$build/printer_faults.log"
  PEDIDOS_BENCH_DB_HOST=$PEDIDOS_TEST_DB_HOST PEDIDOS_BENCH_DB_NAME=$db \
    PEDIDOS_BENCH_DB_SOCKET=$PEDIDOS_TEST_DB_SOCKET PEDIDOS_BENCH_PRINTER_HOST=$PEDIDOS_TEST_PRINTER_HOST \
    PEDIDOS_BENCH_FAULT_PRINTER=$queue PEDIDOS_BENCH_FAULT_PRINTER_PORT=9112 QT_QPA_PLATFORM=offscreen \
    PEDIDOS_BENCH_LOG="$build/printer_faults.log" PEDIDOS_PRINTER_FAULTS_SECONDS=$seconds \
    "$build/bench/bench_printer_faults" 2>>"$build/printer_faults.log" | tee "$build/printer_faults.out"
  return "${PIPESTATUS[0]}"
}
