# Platform-free front-end tests (included from tests/host/CMakeLists.txt).

# Skin and screen: BMP loading, the LCD painter and the screen set-up.
rq4800_add_test(test_host_screen
  SOURCES screen_test.cpp
  PARTS rq4800_core rq4800_machine rq4800_sound rq4800_storage rq4800_host)

# Keyboard and mouse, and the headless runner's key scripts.
rq4800_add_test(test_host_keyboard
  SOURCES keyboard_test.cpp
  PARTS rq4800_core rq4800_machine rq4800_sound rq4800_storage rq4800_host)

# The pictures drawn at build time, read through the screen's own loader.
rq4800_add_test(test_host_artwork
  SOURCES artwork_test.cpp
  PARTS rq4800_core rq4800_machine rq4800_sound rq4800_storage rq4800_host)
add_dependencies(test_host_artwork rq4800_artwork)

# The headless runner end to end, through its command-line entry.
find_package(CLI11 REQUIRED)
find_package(PNG REQUIRED)
rq4800_add_test(test_host_run
  SOURCES run_command_test.cpp ${PROJECT_SOURCE_DIR}/host/cli/cmd_run.cpp ${PROJECT_SOURCE_DIR}/host/cli/arguments.cpp
          ${PROJECT_SOURCE_DIR}/host/cli/machine_options.cpp
  PARTS rq4800_core rq4800_machine rq4800_sound rq4800_storage rq4800_host
  LIBS CLI11::CLI11 PNG::PNG)

# The user's flash image file and the emulator object both front ends drive.
rq4800_add_test(test_host_emulator
  SOURCES flash_image_file_test.cpp emulator_test.cpp
  PARTS rq4800_core rq4800_machine rq4800_sound rq4800_storage rq4800_host rq4800_builtin_resources)

# Rewind history, on the built-in firmware.
rq4800_add_test(test_host_rewind
  SOURCES rewind_history_test.cpp
  PARTS rq4800_core rq4800_machine rq4800_sound rq4800_storage rq4800_host rq4800_builtin_resources)
# rq4800-cli's commands in-process, on the built-in firmware and default image.
if(TARGET rq4800_cli_commands)
  rq4800_add_test(test_host_cli SOURCES cli_test.cpp LIBS rq4800_cli_commands)
  rq4800_add_test(test_host_debug_command SOURCES debug_command_test.cpp LIBS rq4800_cli_commands)
endif()

# Screenshots, the window's picture placement, the view settings and the
# sound recording.
rq4800_add_test(test_host_picture
  SOURCES picture_test.cpp recording_test.cpp
  PARTS rq4800_core rq4800_machine rq4800_sound rq4800_storage rq4800_host rq4800_builtin_resources)

# The user's key map, recent files and the read-only data directory.
rq4800_add_test(test_host_keymap
  SOURCES key_map_test.cpp
  PARTS rq4800_core rq4800_machine rq4800_sound rq4800_storage rq4800_host rq4800_builtin_resources)
