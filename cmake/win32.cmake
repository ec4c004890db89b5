# Win32 build: the program, the SRM stand-in, srmctl, rpsettings and the Win32
# tests, all 32-bit, statically linked (no MinGW runtime DLLs beside the programs).
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

# ANSI Windows calls only; program literals compiled to Shift-JIS (code page 932).
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 STRICT)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP932>
                    $<$<COMPILE_LANGUAGE:CXX>:-Wall>)
# Stack canaries in every function with a local array or address-taken local.
add_compile_options(-fstack-protector-strong)
add_link_options(-static -static-libgcc -static-libstdc++ -fstack-protector-strong)
# Every binary runs unchanged in a Remote Desktop session, and none registers a
# structured exception handler (C++ exceptions unwind with DWARF tables), so
# none may be called in it; the test pe_flags checks both with ASLR and DEP.
add_link_options(-Wl,--tsaware -Wl,--no-seh)
# The version resource and the about box take the project's version from a
# generated header (res/version.h.in).
set(RP_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(RP_VERSION_MINOR ${PROJECT_VERSION_MINOR})
configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${CMAKE_BINARY_DIR}/version/rp_version.h @ONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_BINARY_DIR}/version")
enable_language(RC)

# Our own units read cmake/win32-prelude.h first, so <strsafe.h> stands
# before their code and the unbounded string functions cannot come back.
# (Not GoogleTest's units: they are not ours to change.)
function(rp_prelude)
  foreach(target ${ARGN})
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-include${CMAKE_SOURCE_DIR}/cmake/win32-prelude.h>)
  endforeach()
endfunction()

# The SRM stand-in. Exported under plain (undecorated) names; the import
# library still resolves the __stdcall symbols of the callers.
# Besides its own sources it takes only the settings core and the session's
# pure update command and key names, not the rest of the program.
file(GLOB RP_SRM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/srm/quarlsrm*.cpp ${CMAKE_SOURCE_DIR}/srm/store*.cpp
  ${CMAKE_SOURCE_DIR}/session/update_command_pure.cpp ${CMAKE_SOURCE_DIR}/session/key_name_pure.cpp)
# The settings record and its codec, with the catalogue that gives the factory defaults.
set(RP_SETTINGS_CORE ${CMAKE_SOURCE_DIR}/settings/settings.cpp ${CMAKE_SOURCE_DIR}/settings/codec.cpp
  ${CMAKE_SOURCE_DIR}/settings/catalogue.cpp ${CMAKE_SOURCE_DIR}/settings/catalogue_values.cpp
  ${CMAKE_SOURCE_DIR}/settings/font_print_pure.cpp ${CMAKE_SOURCE_DIR}/settings/switch_bits_pure.cpp)
add_library(QUARLSRM SHARED ${RP_SRM_SOURCES}
  ${RP_SETTINGS_CORE})
set_target_properties(QUARLSRM PROPERTIES PREFIX "" OUTPUT_NAME QUARLSRM SUFFIX ".DLL")
target_compile_definitions(QUARLSRM PRIVATE QUARLSRM_BUILDING_DLL)
target_include_directories(QUARLSRM PRIVATE ${CMAKE_SOURCE_DIR}/base ${CMAKE_SOURCE_DIR}/settings ${CMAKE_SOURCE_DIR}/session ${CMAKE_SOURCE_DIR}/srm
  ${CMAKE_SOURCE_DIR}/res)
target_link_options(QUARLSRM PRIVATE -Wl,--kill-at)
target_link_libraries(QUARLSRM PRIVATE advapi32 user32)
# The linker's import library would carry the plain names, which __stdcall
# callers (they ask for OpenManagerExA@16) cannot resolve. Rebuild it from the
# decorated names of the objects' exports, bound to the plain exported names.
find_program(RP_DLLTOOL NAMES i686-w64-mingw32-dlltool REQUIRED)
add_custom_command(TARGET QUARLSRM POST_BUILD
  COMMAND ${RP_DLLTOOL} -z ${CMAKE_BINARY_DIR}/quarlsrm-exports.def $<TARGET_OBJECTS:QUARLSRM>
  COMMAND ${RP_DLLTOOL} -d ${CMAKE_BINARY_DIR}/quarlsrm-exports.def -D QUARLSRM.DLL -k
          -l $<TARGET_LINKER_FILE:QUARLSRM>
  COMMAND_EXPAND_LISTS VERBATIM)

# The program in layers, lowest first (docs/layers.md). Each folder is a
# library of its own that sees only its own headers and those of the layers
# below it, so a header of a higher layer cannot be included from a lower one.
set(RP_SRC ${CMAKE_SOURCE_DIR})
function(rp_layer folder)  # rp_layer(FOLDER [BELOW lib...] [LIBS system...] [EXCLUDE file...])
  cmake_parse_arguments(L "" "" "BELOW;LIBS;EXCLUDE;TRANSITIONAL" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${RP_SRC}/${folder}/*.cpp)
  foreach(excluded ${L_EXCLUDE})
    list(REMOVE_ITEM sources ${RP_SRC}/${folder}/${excluded})
  endforeach()
  add_library(rp_${folder} STATIC ${sources})
  target_include_directories(rp_${folder} PUBLIC ${RP_SRC}/${folder})
  target_link_libraries(rp_${folder} PUBLIC ${L_BELOW} ${L_LIBS})
  foreach(upper ${L_TRANSITIONAL})
    target_include_directories(rp_${folder} PRIVATE ${RP_SRC}/${upper})
    target_link_libraries(rp_${folder} PRIVATE $<LINK_ONLY:rp_${upper}>)
    set_target_properties(rp_${folder} PROPERTIES LINK_INTERFACE_MULTIPLICITY 4)
  endforeach()
  rp_prelude(rp_${folder})
endfunction()

rp_layer(base LIBS comctl32 user32 kernel32)
target_include_directories(rp_base PUBLIC ${RP_SRC}/res)
rp_layer(settings BELOW rp_base)
rp_layer(session BELOW rp_settings LIBS QUARLSRM advapi32 winspool)
rp_layer(pages BELOW rp_session LIBS gdi32)
rp_layer(panel BELOW rp_pages LIBS gdi32)
rp_layer(app BELOW rp_panel LIBS comctl32 advapi32 winspool gdi32 user32 kernel32 EXCLUDE main.cpp)
# The whole program but its entry point, so the tests can link it.
add_library(rpcore INTERFACE)
target_link_libraries(rpcore INTERFACE rp_app)

# The resources, linked into the program and into every Win32 test that needs them.
add_library(rpres OBJECT ${CMAKE_SOURCE_DIR}/res/app.rc)
# windres reads the manifest itself: CMake does not see that dependency.
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/app.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/RemotePanel.manifest;${CMAKE_BINARY_DIR}/version/rp_version.h")

add_executable(RemotePanel WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp $<TARGET_OBJECTS:rpres>)
target_link_libraries(RemotePanel PRIVATE rpcore)
rp_prelude(QUARLSRM RemotePanel)

if(EXISTS ${CMAKE_SOURCE_DIR}/srm/srmctl.cpp)
  add_executable(srmctl ${CMAKE_SOURCE_DIR}/srm/srmctl.cpp ${CMAKE_SOURCE_DIR}/session/key_name_pure.cpp)
  target_include_directories(srmctl PRIVATE ${CMAKE_SOURCE_DIR}/base ${CMAKE_SOURCE_DIR}/settings ${CMAKE_SOURCE_DIR}/session ${CMAKE_SOURCE_DIR}/srm)
  target_link_libraries(srmctl PRIVATE QUARLSRM advapi32 user32)
endif()

# rpsettings.exe: the console tool that saves, compares and applies settings
# files, beside app/ at the top: every file of its folder but the entry point
# is a library (its tests link it), over the printer session alone (no dialog,
# page or panel code); it takes the resources for its texts.
rp_layer(rpsettings BELOW rp_session LIBS comctl32 shell32 EXCLUDE rpsettings.cpp)
add_executable(rpsettings ${CMAKE_SOURCE_DIR}/rpsettings/rpsettings.cpp ${CMAKE_SOURCE_DIR}/rpsettings/rpsettings.rc
  $<TARGET_OBJECTS:rpres>)
target_link_libraries(rpsettings PRIVATE rp_rpsettings)
rp_prelude(srmctl rpsettings)

# The Windows Installer package (installer/): the panel and rpsettings, with
# the custom action that finds the suite, signed where a certificate is given
# (tools/sign.sh). Its ProductVersion is MAJOR.0.MINOR (installer/build-msi.sh).
add_library(SuiteSearch SHARED ${CMAKE_SOURCE_DIR}/installer/suite_search.cpp)
set_target_properties(SuiteSearch PROPERTIES PREFIX "")
target_include_directories(SuiteSearch PRIVATE ${CMAKE_SOURCE_DIR}/base)
target_link_options(SuiteSearch PRIVATE -Wl,--kill-at)
target_link_libraries(SuiteSearch PRIVATE msi advapi32)
rp_prelude(SuiteSearch)
set(RP_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
function(rp_package version output panel)  # panel: the target of the RemotePanel.exe it takes
  add_custom_command(OUTPUT ${output}
    COMMAND bash ${CMAKE_SOURCE_DIR}/installer/build-msi.sh ${version} ${output} $<TARGET_FILE:${panel}>
            $<TARGET_FILE:rpsettings> $<TARGET_FILE:SuiteSearch>
    DEPENDS ${panel} rpsettings SuiteSearch ${CMAKE_SOURCE_DIR}/installer/RemotePanel.wxs
            ${CMAKE_SOURCE_DIR}/installer/build-msi.sh ${CMAKE_SOURCE_DIR}/tools/sign.sh
    VERBATIM)
endfunction()
set(RP_PACKAGE RemotePanel-${PROJECT_VERSION}.msi)
rp_package(${PROJECT_VERSION} ${RP_PACKAGE_DIR}/${RP_PACKAGE} RemotePanel)
add_custom_target(package_msi ALL DEPENDS ${RP_PACKAGE_DIR}/${RP_PACKAGE})
# For the upgrade test: the same package one version older, with a panel whose
# version resource says so.
if(PROJECT_VERSION_MINOR EQUAL 0)
  message(FATAL_ERROR "the upgrade test builds version MAJOR.(MINOR - 1): give it another older version for ${PROJECT_VERSION}")
endif()
math(EXPR RP_OLDER_MINOR "${PROJECT_VERSION_MINOR} - 1")
set(RP_OLDER_VERSION ${PROJECT_VERSION_MAJOR}.${RP_OLDER_MINOR})
set(RP_VERSION_MINOR ${RP_OLDER_MINOR})
configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${CMAKE_BINARY_DIR}/version-older/rp_version.h @ONLY)
set(RP_VERSION_MINOR ${PROJECT_VERSION_MINOR})
add_library(rpres_older OBJECT ${CMAKE_SOURCE_DIR}/res/app.rc)
target_include_directories(rpres_older BEFORE PRIVATE ${CMAKE_BINARY_DIR}/version-older)
add_executable(RemotePanel_older WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp $<TARGET_OBJECTS:rpres_older>)
target_link_libraries(RemotePanel_older PRIVATE rpcore)
rp_prelude(RemotePanel_older)
set_target_properties(RemotePanel_older PROPERTIES OUTPUT_NAME RemotePanel
  RUNTIME_OUTPUT_DIRECTORY ${RP_PACKAGE_DIR}/older)
set(RP_OLDER_PACKAGE RemotePanel-${RP_OLDER_VERSION}.msi)
rp_package(${RP_OLDER_VERSION} ${RP_PACKAGE_DIR}/older/${RP_OLDER_PACKAGE} RemotePanel_older)
add_custom_target(package_msi_older ALL DEPENDS ${RP_PACKAGE_DIR}/older/${RP_OLDER_PACKAGE})
# The shipped binaries carry no symbols in a Release build, and no link time
# in their header: a rebuild of the same sources is the same file (and the
# same package, installer/build-msi.sh).
foreach(target QUARLSRM RemotePanel RemotePanel_older srmctl rpsettings SuiteSearch)
  if(TARGET ${target})
    target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-s> -Wl,--no-insert-timestamp)
  endif()
endforeach()

# GoogleTest for the Win32 tests, built from Debian's sources.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/gtest EXCLUDE_FROM_ALL)

# One test executable per file in tests/win32 (test_*.cpp); each links the
# program core and resources, and runs under Wine (CMAKE_CROSSCOMPILING_EMULATOR).
file(GLOB RP_WIN32_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/test_*.cpp)
file(GLOB RP_WIN32_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/support_*.cpp)
# The test support is compiled once and linked into every test program.
add_library(rptestsupport OBJECT ${RP_WIN32_TEST_SUPPORT})
target_include_directories(rptestsupport PRIVATE ${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_SOURCE_DIR}/srm)
target_link_libraries(rptestsupport PRIVATE rpcore gtest)
rp_prelude(rptestsupport)
foreach(src ${RP_WIN32_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} $<TARGET_OBJECTS:rptestsupport> $<TARGET_OBJECTS:rpres>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/srm)
  target_link_libraries(${name} PRIVATE rpcore gtest gtest_main)
  rp_prelude(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS win32 TIMEOUT 300)
endforeach()
if(TARGET test_rpsettings)
  add_dependencies(test_rpsettings rpsettings srmctl)
  target_link_libraries(test_rpsettings PRIVATE rp_rpsettings)
  # The test reads rpsettings' JSON back with Debian's header-only JSON
  # library, seen through a folder of its own (not the host's /usr/include).
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/json-include)
  file(CREATE_LINK /usr/include/nlohmann ${CMAKE_BINARY_DIR}/json-include/nlohmann SYMBOLIC)
  target_include_directories(test_rpsettings SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/json-include)
endif()

# Benchmarks (not tests; tools/bench-startup.sh runs them under Wine): the
# start-up runner with its limit program, and the in-process round trips.
# The limit program takes the dialogs without the program's manifest.
add_library(rpres_plain OBJECT ${CMAKE_SOURCE_DIR}/res/app.rc)
target_compile_definitions(rpres_plain PRIVATE RP_NO_MANIFEST)
add_executable(bench_limit WIN32 ${CMAKE_SOURCE_DIR}/bench/limit_program.cpp $<TARGET_OBJECTS:rpres_plain>
  ${RP_SETTINGS_CORE})
target_include_directories(bench_limit PRIVATE ${CMAKE_SOURCE_DIR}/settings ${CMAKE_SOURCE_DIR}/session ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(bench_limit PRIVATE QUARLSRM comctl32 advapi32 winspool gdi32 user32)
add_executable(bench_startup ${CMAKE_SOURCE_DIR}/bench/startup.cpp)
target_include_directories(bench_startup PRIVATE ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(bench_startup PRIVATE psapi user32)
add_executable(bench_roundtrip ${CMAKE_SOURCE_DIR}/bench/roundtrip.cpp $<TARGET_OBJECTS:rpres>)
target_include_directories(bench_roundtrip PRIVATE ${CMAKE_SOURCE_DIR}/srm)
target_link_libraries(bench_roundtrip PRIVATE rpcore)
rp_prelude(bench_limit bench_startup bench_roundtrip)

# winpoke.exe: steers the panel from outside for tools/demo.sh and tools/screenshots.sh.
add_executable(winpoke ${CMAKE_SOURCE_DIR}/tools/winpoke.cpp)
target_compile_options(winpoke PRIVATE -municode)
target_link_options(winpoke PRIVATE -municode)
target_link_libraries(winpoke PRIVATE user32)

# The headers of every binary built (tools/check-pe-flags.sh); run natively.
find_program(RP_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)
add_test(NAME pe_flags COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-pe-flags.sh ${RP_OBJDUMP} ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(pe_flags PROPERTIES LABELS win32)
# The package's tables (msiinfo) and its signing with a test certificate; run natively.
add_test(NAME package_tables COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check-tables.sh
  ${RP_PACKAGE_DIR}/${RP_PACKAGE} ${PROJECT_VERSION} $<TARGET_FILE:RemotePanel> $<TARGET_FILE:rpsettings>
  $<TARGET_FILE:SuiteSearch>)
add_test(NAME package_signing COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check-signing.sh
  $<TARGET_FILE:RemotePanel> ${RP_PACKAGE_DIR}/${RP_PACKAGE})
set_tests_properties(package_tables package_signing PROPERTIES LABELS win32)

# End-to-end: the real RemotePanel.exe driven from outside (tests/e2e), the
# journeys and the fault matrix, each a table with one runner.
file(GLOB RP_E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
add_executable(test_e2e ${RP_E2E_SOURCES} $<TARGET_OBJECTS:rptestsupport>)
target_include_directories(test_e2e PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/tests/win32 ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/srm)
target_link_libraries(test_e2e PRIVATE rpcore gtest gtest_main)
add_dependencies(test_e2e RemotePanel srmctl rpsettings package_msi package_msi_older)
rp_prelude(test_e2e)
foreach(table Journeys Faults)
  add_test(NAME e2e_${table} COMMAND test_e2e --gtest_filter=E2E/${table}.*)
  set_tests_properties(e2e_${table} PROPERTIES LABELS "win32;e2e" TIMEOUT 300)
endforeach()
# The package through msiexec (tests/e2e/package.cpp): its file names and the
# version its panel must carry.
target_compile_definitions(test_e2e PRIVATE RP_PACKAGE="${RP_PACKAGE}"
  RP_OLDER_PACKAGE="${RP_OLDER_PACKAGE}")
target_include_directories(test_e2e PRIVATE ${CMAKE_BINARY_DIR}/version)
target_link_libraries(test_e2e PRIVATE msi version ole32 uuid shell32)
add_test(NAME e2e_Package COMMAND test_e2e --gtest_filter=Package.*)
set_tests_properties(e2e_Package PROPERTIES LABELS "win32;e2e" TIMEOUT 120)

# Each layer sees no header above it: a unit of the layer that includes a
# header of the next layer up must not compile (docs/layers.md).
foreach(probe base:settings.h settings:status_items.h session:page_host.h pages:panel.h panel:app.h
              rpsettings:panel.h)
  string(REPLACE ":" ";" probe ${probe})
  list(GET probe 0 layer)
  list(GET probe 1 header)
  add_library(layer_probe_${layer} OBJECT EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tests/layers/probe.cpp)
  target_include_directories(layer_probe_${layer} PRIVATE $<TARGET_PROPERTY:rp_${layer},INTERFACE_INCLUDE_DIRECTORIES>)
  target_compile_definitions(layer_probe_${layer} PRIVATE PROBE_HEADER="${header}")
  add_test(NAME layers_${layer} COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target layer_probe_${layer})
  # The compiler's own words, whatever the session's language: the header
  # is not found (and not some other fault of the unit).
  set_tests_properties(layers_${layer} PROPERTIES LABELS win32 ENVIRONMENT "LC_ALL=C;LANGUAGE=C"
    PASS_REGULAR_EXPRESSION "fatal error: ${header}: No such file or directory")
endforeach()
