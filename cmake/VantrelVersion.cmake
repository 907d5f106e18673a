# The one place that sets the program's version. The file version follows the
# date scheme year.month.day.build; the update check compares it with the
# server's version file, and the product version must begin with "V" because
# the main window is found by the title prefix "Vantrel - V".
set(VANTREL_VERSION_YEAR 2026)
set(VANTREL_VERSION_MONTH 12)
set(VANTREL_VERSION_DAY 8)
set(VANTREL_VERSION_BUILD 1)
set(VANTREL_PRODUCT_VERSION "V0.1 Alpha")
set(VANTREL_FILE_VERSION
    "${VANTREL_VERSION_YEAR}.${VANTREL_VERSION_MONTH}.${VANTREL_VERSION_DAY}.${VANTREL_VERSION_BUILD}")
