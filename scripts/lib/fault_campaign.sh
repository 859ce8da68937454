# The fault campaign's short run inside scripts/test. Source this file.
#   fault_campaign_short BUILD SECONDS
#       runs BUILD/bench/bench_fault_campaign for SECONDS of orders against the
#       tests' server (PEDIDOS_TEST_DB_DIR on PEDIDOS_TEST_DB_HOST, a database of
#       its own, fault_campaign) and CUPS (a kitchen queue of its own,
#       "CampanaFallos", to a stand-in printer on PEDIDOS_TEST_PRINTER_HOST:9109);
#       its proxy listens on the server's address, port 3307. It kills the
#       server twice and starts it again with db_start, so nothing else may use
#       the server meanwhile. Prints the campaign's lines; non-zero when a check
#       failed (an order lost or stored twice, a terminal blocked over 10 s, ...).
#       The log goes to BUILD/fault_campaign.log, the printed lines also to
#       BUILD/fault_campaign.out.

fault_campaign_short() {
  local build=$1 seconds=$2 db=fault_campaign queue=CampanaFallos
  db_load "$PEDIDOS_TEST_DB_DIR" "$db" || return 1
  cups_add_kitchen_queue "$PEDIDOS_TEST_CUPS_DIR" "$queue" "$PEDIDOS_TEST_PRINTER_HOST:9109" || return 1
  : >"$build/fault_campaign.log"
  PEDIDOS_BENCH_DB_HOST=$PEDIDOS_TEST_DB_HOST PEDIDOS_BENCH_DB_NAME=$db \
    PEDIDOS_BENCH_DB_DIR=$PEDIDOS_TEST_DB_DIR PEDIDOS_BENCH_DB_SOCKET=$PEDIDOS_TEST_DB_SOCKET \
    PEDIDOS_BENCH_PRINTER=$queue PEDIDOS_BENCH_PRINTER_HOST=$PEDIDOS_TEST_PRINTER_HOST \
    PEDIDOS_BENCH_PRINTER_PORT=9109 PEDIDOS_BENCH_CLUSTER_DIR= QT_QPA_PLATFORM=offscreen \
    PEDIDOS_BENCH_LOG="$build/fault_campaign.log" PEDIDOS_FAULT_CAMPAIGN_SECONDS=$seconds \
    "$build/bench/bench_fault_campaign" 2>>"$build/fault_campaign.log" | tee "$build/fault_campaign.out"
  return "${PIPESTATUS[0]}"
}
