# The sources of the two libraries, by floor. Each list names its files, so
# a file added to a folder is added here too, in the library of its floor.
#
# The logic: runtime formats, data access, the order and its rules, the send
# and settle protocol, the journal, ticket layout and ESC/POS, the printing
# seam. Qt Core and Connector/C only: no file here may include a Qt Widgets
# or Gui header, nor a header of the screens' folders.
set(PEDIDOS_LOGIC_SOURCES
  runtime/configuration.cpp
  runtime/configuration.h
  runtime/date_format.cpp
  runtime/date_format.h
  runtime/dialogs.cpp
  runtime/dialogs.h
  runtime/end_program.cpp
  runtime/end_program.h
  runtime/number_format.cpp
  runtime/number_format.h
  runtime/regional.cpp
  runtime/regional.h
  runtime/regional_formats.cpp
  runtime/regional_formats.h
  runtime/resume_next.cpp
  runtime/resume_next.h
  runtime/runtime_error.cpp
  runtime/runtime_error.h
  runtime/text_file.cpp
  runtime/text_file.h
  runtime/variant.cpp
  runtime/variant.h
  data/column_widths.cpp
  data/column_widths.h
  data/connection.cpp
  data/connection.h
  data/connection_string.cpp
  data/connection_string.h
  data/db_error.h
  data/mariadb_connection.cpp
  data/mariadb_connection.h
  data/option_files.cpp
  data/option_files.h
  data/module1.cpp
  data/module1.h
  data/read_ahead.cpp
  data/read_ahead.h
  data/secure_link.cpp
  data/secure_link.h
  data/error_meaning.cpp
  data/error_meaning.h
  data/reconnecting.cpp
  data/reconnecting.h
  data/result_set.cpp
  data/result_set.h
  data/server_clock.cpp
  data/server_clock.h
  data/session_limits.cpp
  data/session_limits.h
  data/sql_text.cpp
  data/sql_text.h
  order/escape.h
  order/line_rows.cpp
  order/line_rows.h
  order/list_file.cpp
  order/list_file.h
  order/menu_rules.cpp
  order/menu_rules.h
  order/order.cpp
  order/order.h
  order/pricing.cpp
  order/pricing.h
  order/screen_statements.cpp
  order/screen_statements.h
  sending/bad_values.cpp
  sending/bad_values.h
  sending/cups_answers.cpp
  sending/cups_answers.h
  sending/disk_queue.cpp
  sending/disk_queue.h
  sending/durable_file.cpp
  sending/durable_file.h
  sending/escpos.cpp
  sending/escpos.h
  sending/journal_disk.cpp
  sending/journal_disk.h
  sending/journal_lock.cpp
  sending/journal_lock.h
  sending/journal_path.cpp
  sending/journal_path.h
  sending/order_sender.cpp
  sending/order_sender.h
  sending/order_statements.cpp
  sending/order_statements.h
  sending/print_groups.cpp
  sending/print_groups.h
  sending/printing.cpp
  sending/printing.h
  sending/printing_system.cpp
  sending/printing_system.h
  sending/private_files.cpp
  sending/private_files.h
  sending/send_journal.cpp
  sending/send_journal.h
  sending/printer_faults.cpp
  sending/printer_faults.h
  sending/send_messages.cpp
  sending/send_messages.h
  sending/send_order.cpp
  sending/send_order.h
  sending/followed_json.cpp
  sending/ticket.cpp
  sending/send_statements.cpp
  sending/send_statements.h
  sending/send_writes.cpp
  sending/send_writes.h
  sending/settle.cpp
  sending/settle.h
  sending/write_block.cpp
  sending/write_block.h
  sending/ticket.h
  sending/ticket_json.cpp
  sending/ticket_json.h
  sending/ticket_layout.cpp
  sending/ticket_paper.cpp
  sending/ticket_paper.h
  sending/ticket_follower.cpp
  sending/ticket_follower.h
  sending/ticket_layout.h
  sending/value_names.h
)

# The screens above it: widgets, forms, the Qt dialogs, CUPS and XCB glue,
# start-up.
set(PEDIDOS_SCREENS_SOURCES
  widgets/busy_work.cpp
  widgets/busy_work.h
  widgets/c_image_button.cpp
  widgets/c_image_button.h
  widgets/caption_fit.cpp
  widgets/caption_fit.h
  widgets/combo_list.cpp
  widgets/combo_list.h
  widgets/error_box.cpp
  widgets/error_box.h
  widgets/image_button_layout.cpp
  widgets/image_button_layout.h
  widgets/input_box.cpp
  widgets/input_box.h
  widgets/contrast.cpp
  widgets/contrast.h
  widgets/edge_style.cpp
  widgets/edge_style.h
  widgets/look.cpp
  widgets/look.h
  widgets/menu_button.cpp
  widgets/menu_button.h
  widgets/msgbox_ex1.cpp
  widgets/msgbox_ex1.h
  widgets/ole_color.cpp
  widgets/ole_color.h
  widgets/plain_text.cpp
  widgets/plain_text.h
  widgets/qt_dialogs.cpp
  widgets/qt_dialogs.h
  widgets/resources.cpp
  widgets/resources.h
  widgets/screen_scale.cpp
  widgets/screen_scale.h
  widgets/touch.cpp
  widgets/touch.h
  widgets/touch_keys.cpp
  widgets/touch_keys.h
  widgets/twips.h
  order_screen/enviar.cpp
  order_screen/grid.cpp
  order_screen/grid.h
  order_screen/order_lines.cpp
  order_screen/order_lines.h
  order_screen/pedido_r.cpp
  order_screen/pedido_r.h
  order_screen/pedido_r_layout.cpp
  order_screen/touch_handlers.cpp
  order_screen/waiter_panel.cpp
  menu/menu_tree.cpp
  menu/side_dish_panels.cpp
  entry/item_entry.cpp
  printers/cups_connection.cpp
  printers/cups_connection.h
  printers/cups_printing.cpp
  printers/cups_printing.h
  printers/ticket_drawing.cpp
  printers/ticket_drawing.h
  startup/acceso.cpp
  startup/acceso.h
  startup/program_seams.cpp
  startup/program_seams.h
)

# The CUPS backend "escpos" for network ESC/POS kitchen printers: its rules
# (device URI, status bytes, what to do next), the printer connection and
# the printing loop. Plain C++ and POSIX sockets: no Qt, nothing of the
# terminal, so the backend the scheduler runs links none of their libraries.
# Its main() is the program's own (CMakeLists.txt).
set(PEDIDOS_ESCPOS_BACKEND_SOURCES
  escpos_backend/backend_report.cpp
  escpos_backend/backend_report.h
  escpos_backend/cancel_guard.cpp
  escpos_backend/cancel_guard.h
  escpos_backend/device_uri.cpp
  escpos_backend/device_uri.h
  escpos_backend/job_file.cpp
  escpos_backend/job_file.h
  escpos_backend/job_printing.cpp
  escpos_backend/job_printing.h
  escpos_backend/next_step.cpp
  escpos_backend/next_step.h
  escpos_backend/printer_link.cpp
  escpos_backend/printer_link.h
  escpos_backend/status_bytes.cpp
  escpos_backend/status_bytes.h
  escpos_backend/status_memory.cpp
  escpos_backend/status_memory.h
)

# Adds the logic library `name` from the sources under `src_dir`.
function(pedidos_add_logic_library name src_dir)
  list(TRANSFORM PEDIDOS_LOGIC_SOURCES PREPEND ${src_dir}/ OUTPUT_VARIABLE sources)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${src_dir})
  target_link_libraries(${name} PUBLIC Qt6::Core PkgConfig::MARIADB)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF)
endfunction()
