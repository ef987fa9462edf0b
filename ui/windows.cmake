# The Windows user interface: the main window, the About box and the settings dialog.
tolvek_library(tolvek_ui
  AboutDlg.cpp
  EnvSetDlg.cpp
  JobPath.cpp
  TargetListText.cpp
  TolvekDlg.cpp
)
target_link_libraries(tolvek_ui PUBLIC tolvek_job tolvek_platform comctl32 shell32 gdi32 user32)

# The resources (dialogs, icon, strings, version, manifest), linked into each program that shows
# the dialogs: resources in a static library would not reach the executable.
add_library(tolvek_ui_resources OBJECT Tolvek.rc)
target_include_directories(tolvek_ui_resources PRIVATE ${PROJECT_SOURCE_DIR})
set(resource_inputs resource.h res/Tolvek.ico res/Tolvek.manifest)
list(TRANSFORM resource_inputs PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
set_source_files_properties(Tolvek.rc PROPERTIES OBJECT_DEPENDS "${resource_inputs}")
