# SPDX-License-Identifier: GPL-3.0-or-later
# flite's library with the English voices the speech helper builds in
# (Debian: flite1-dev), as the imported target Flite::Flite. Sets
# Flite_FOUND, Flite_INCLUDE_DIR and Flite_LIBRARIES.
include(FindPackageHandleStandardArgs)

find_path(Flite_INCLUDE_DIR flite/flite.h)
mark_as_advanced(Flite_INCLUDE_DIR)

# The voices first: each needs the English rules, the lexicon and flite.
set(_fliteParts flite_cmu_us_awb flite_cmu_us_rms flite_cmu_us_slt flite_cmu_us_kal16 flite_cmu_us_kal
                flite_usenglish flite_cmulex flite)
set(Flite_LIBRARIES)
set(_fliteRequired Flite_flite_LIBRARY Flite_INCLUDE_DIR)
foreach(_part IN LISTS _fliteParts)
    find_library(Flite_${_part}_LIBRARY ${_part})
    mark_as_advanced(Flite_${_part}_LIBRARY)
    list(APPEND Flite_LIBRARIES ${Flite_${_part}_LIBRARY})
    if(NOT _part STREQUAL "flite")
        list(APPEND _fliteRequired Flite_${_part}_LIBRARY)
    endif()
endforeach()

find_package_handle_standard_args(Flite
    REQUIRED_VARS ${_fliteRequired}
    REASON_FAILURE_MESSAGE "flite's headers and voice libraries are needed (Debian: flite1-dev)")

if(Flite_FOUND AND NOT TARGET Flite::Flite)
    add_library(Flite::Flite INTERFACE IMPORTED)
    set_target_properties(Flite::Flite PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${Flite_INCLUDE_DIR}"
        INTERFACE_LINK_LIBRARIES "${Flite_LIBRARIES}")
endif()
unset(_fliteParts)
unset(_fliteRequired)
