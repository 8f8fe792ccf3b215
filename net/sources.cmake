# net: window-free, part of lintrado_core.
list(APPEND LINTRADO_CORE_SOURCES
    net/ReportService.cpp
    net/ErrorReportSender.cpp
)
