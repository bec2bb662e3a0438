# The window's Windows build: the static Qt that scripts/windows/qt cross-builds, found beside the
# other Windows libraries; its tools (moc, uic, rcc) are the Linux host's own, of the same version.
set(ZELVOR_WINDOWS_QT_PREFIX "" CACHE PATH "Prefix of the cross-built Qt (scripts/windows/qt --prefix)")
if(NOT ZELVOR_WINDOWS_QT_PREFIX)
  message(FATAL_ERROR "The window's Windows build needs Qt: configure with "
                      "-DZELVOR_WINDOWS_QT_PREFIX=$(scripts/windows/qt)")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH "${ZELVOR_WINDOWS_QT_PREFIX}")
set(QT_HOST_PATH "/usr" CACHE PATH "The host's Qt, whose tools the cross-build runs")
