# The CMYK profile of the print shop's PDF, built from the FOGRA39
# characterisation data (ISO 12647-2, coated paper) that Debian's
# icc-profiles-free installs, and the profile folder handed to Ghostscript:
# its own default profiles, but ours as the CMYK one. Nothing of this lives
# in the repository; everything is made in ${PROJECT_BINARY_DIR}/color.
#
# Sets LAPORA_COLOR_DIR (the folder) and the target color_profile.

find_program(COLPROF colprof)
if(NOT COLPROF)
    message(FATAL_ERROR "colprof was not found. It builds the print shop's CMYK profile; "
        "install Debian's argyll package (scripts/install-deps.sh does).")
endif()
find_file(FOGRA39_TI3 FOGRA39L.ti3 PATHS /usr/share/color/icc NO_DEFAULT_PATH)
if(NOT FOGRA39_TI3)
    message(FATAL_ERROR "/usr/share/color/icc/FOGRA39L.ti3 was not found. The print shop's CMYK profile "
        "is built from it; install Debian's icc-profiles-free package (scripts/install-deps.sh does).")
endif()
find_path(GHOSTSCRIPT_ICC_DIR default_rgb.icc PATHS /usr/share/color/icc/ghostscript NO_DEFAULT_PATH)
if(NOT GHOSTSCRIPT_ICC_DIR)
    message(FATAL_ERROR "Ghostscript's profiles (/usr/share/color/icc/ghostscript) were not found. "
        "Install Debian's ghostscript package (libgs-common brings the profiles; scripts/install-deps.sh does).")
endif()

set(LAPORA_COLOR_DIR ${PROJECT_BINARY_DIR}/color)
set(profile_name lapora-fogra39.icc)
set(profile ${LAPORA_COLOR_DIR}/${profile_name})
file(MAKE_DIRECTORY ${LAPORA_COLOR_DIR}/gs)

# colprof's options:
#   -qm      medium quality: about 20 s on one core, and the profile's
#            forward table stays within 0.2 dE on average (0.7 at most) of
#            the 1,617 measured patches; high quality takes eight times as
#            long for differences no press can hold.
#   -nc      the measurements stay out of the profile: it is embedded in
#            every PDF, and they would double its size.
#   -kp ...  black generation as the data's own press would separate: no
#            black below a fifth of the way from paper to black, then rising
#            concave to full black, so light tones and skin carry no black
#            dots while neutrals and shadows hold their grey on press.
#   -l300    total ink 300 %: business cards are cut and stacked soon after
#            printing, and a shop's coated card stock asks for at most 300 %
#            so that nothing sets off or smears (ISO 12647-2 allows 350).
#   -L95     black at most 95 %: above that the black's tone increase closes
#            up the shadows, and the rest of the ink budget goes to the rich
#            black's colours.
#   -D, -C   the name a PDF reader shows for the output condition, and where
#            the profile comes from (the data's licence asks that the origin
#            be told).
set(colprof_options
    -qm -nc
    -k p 0 0.2 1.0 1.0 0.6
    -l 300 -L 95
    -D "Lapora FOGRA39 (ISO 12647-2 coated)"
    -C "Built by Lapora from the FOGRA39 characterisation data of Debian's icc-profiles-free (zlib licence)")
# The profile is made again when the data or these options change, never
# otherwise: the file below is only rewritten when its contents differ.
set(options_file ${LAPORA_COLOR_DIR}/colprof-options.txt)
string(REPLACE ";" "\n" options_text "${colprof_options}")
file(CONFIGURE OUTPUT ${options_file} CONTENT "${options_text}\n" @ONLY)

add_custom_command(OUTPUT ${profile}
    COMMAND ${CMAKE_COMMAND} -E copy ${FOGRA39_TI3} FOGRA39L.ti3
    COMMAND ${COLPROF} ${colprof_options} -O ${profile_name}.part FOGRA39L
    # Renamed only once complete, so that a stopped build leaves no profile
    # that looks up to date.
    COMMAND ${CMAKE_COMMAND} -E rename ${profile_name}.part ${profile_name}
    WORKING_DIRECTORY ${LAPORA_COLOR_DIR}
    DEPENDS ${FOGRA39_TI3} ${options_file}
    COMMENT "Building the print shop's CMYK profile from FOGRA39L.ti3 (about 20 s)"
    VERBATIM)

# Ghostscript takes its default profiles from one folder (-sICCProfilesDir);
# its CMYK output goes through default_cmyk.icc there. The folder links to
# the system's profiles, and default_cmyk.icc to ours.
file(GLOB ghostscript_profiles CONFIGURE_DEPENDS RELATIVE ${GHOSTSCRIPT_ICC_DIR} ${GHOSTSCRIPT_ICC_DIR}/*.icc)
list(REMOVE_ITEM ghostscript_profiles default_cmyk.icc)
set(link_commands)
foreach(name IN LISTS ghostscript_profiles)
    list(APPEND link_commands COMMAND ${CMAKE_COMMAND} -E create_symlink ${GHOSTSCRIPT_ICC_DIR}/${name} gs/${name})
endforeach()
set(gs_stamp ${LAPORA_COLOR_DIR}/gs/default_cmyk.icc)
add_custom_command(OUTPUT ${gs_stamp}
    ${link_commands}
    COMMAND ${CMAKE_COMMAND} -E create_symlink ../${profile_name} gs/default_cmyk.icc
    WORKING_DIRECTORY ${LAPORA_COLOR_DIR}
    DEPENDS ${profile}
    COMMENT "Ghostscript's profile folder with the print shop's CMYK profile"
    VERBATIM)

add_custom_target(color_profile ALL DEPENDS ${profile} ${gs_stamp})

# Installed beside the manual. The links to Ghostscript's profiles are made
# relative, from where the folder lands to where the system keeps them, as
# Debian wants links within /usr; default_cmyk.icc links to our profile.
set(color_destination ${CMAKE_INSTALL_DATADIR}/lapora/color)
install(FILES ${profile} DESTINATION ${color_destination})
install(CODE "
    set(gs_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${color_destination}/gs\")
    file(RELATIVE_PATH to_system \"\${CMAKE_INSTALL_PREFIX}/${color_destination}/gs\" \"${GHOSTSCRIPT_ICC_DIR}\")
    file(MAKE_DIRECTORY \"\${gs_dir}\")
    foreach(name ${ghostscript_profiles})
        file(CREATE_LINK \"\${to_system}/\${name}\" \"\${gs_dir}/\${name}\" SYMBOLIC)
    endforeach()
    file(CREATE_LINK ../${profile_name} \"\${gs_dir}/default_cmyk.icc\" SYMBOLIC)
    message(STATUS \"Installing: \${gs_dir}\")")
