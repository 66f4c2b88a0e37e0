# The usbfiles folder beside a program: where it finds the formatter (and, for the demo, the
# files the formatter writes).

find_package(Python3 REQUIRED COMPONENTS Interpreter)

find_program(BOOTDISK_MAKEBOOTFAT makebootfat PATHS /usr/bin /usr/sbin)
if(NOT BOOTDISK_MAKEBOOTFAT)
    message(WARNING "makebootfat is not installed: the programs will find no formatter")
endif()
find_file(BOOTDISK_MBRFAT mbrfat.bin PATHS /usr/lib/makebootfat /usr/share/makebootfat
          NO_DEFAULT_PATH)

# bootdisk_usbfiles(<target> [DATA]): usbfiles/makebootfat.exe beside <target>, a link to the
# distribution's makebootfat; with DATA also the demo's stand-in data files.
function(bootdisk_usbfiles target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "DATA" "" "")
    get_target_property(directory ${target} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT directory)
        set(directory ${CMAKE_CURRENT_BINARY_DIR})
    endif()
    set(folder ${directory}/usbfiles)
    set(outputs)
    if(BOOTDISK_MAKEBOOTFAT)
        add_custom_command(
            OUTPUT ${folder}/makebootfat.exe
            COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
            COMMAND ${CMAKE_COMMAND} -E create_symlink ${BOOTDISK_MAKEBOOTFAT}
                    ${folder}/makebootfat.exe
            COMMENT "Linking ${target}'s formatter"
            VERBATIM)
        list(APPEND outputs ${folder}/makebootfat.exe)
    endif()
    if(arg_DATA)
        if(NOT BOOTDISK_MBRFAT)
            message(WARNING "mbrfat.bin of makebootfat not found: ${target} gets no data files")
        else()
            set(data ${folder}/fat12.bin ${folder}/fat16.bin ${folder}/fat32lba.bin
                     ${folder}/mbrfat.bin ${folder}/kernel.sys ${folder}/command.com
                     ${folder}/image/readme.txt ${folder}/image/setup.cfg)
            add_custom_command(
                OUTPUT ${data}
                COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/demo/make_usbfiles.py
                        ${folder} ${BOOTDISK_MBRFAT}
                DEPENDS ${PROJECT_SOURCE_DIR}/demo/make_usbfiles.py
                COMMENT "Writing ${target}'s formatter data files"
                VERBATIM)
            list(APPEND outputs ${data})
        endif()
    endif()
    add_custom_target(${target}_usbfiles DEPENDS ${outputs})
    add_dependencies(${target} ${target}_usbfiles)
endfunction()
