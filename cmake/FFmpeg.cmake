# FFmpeg for the video control, always 5.1 as Debian 12 ships it: the Vivo demuxer, the H.263,
# G.723.1 and Siren decoders, libswscale and libavutil; for saving copies, the Matroska, MP4 and
# WebM muxers with the MPEG-4 Part 2, AAC and FLAC encoders, VP9 and Opus through libvpx and
# libopus, and libswresample for sound at a rate Opus does not take. The target quillo_ffmpeg
# carries its headers and libraries.
#
# Natively it is Debian's -dev packages (tools/setup installs them), whose libavcodec also has the
# encoders makeviv uses and libvpx's and libopus's. For Windows it is built once per build tree
# from Debian's own source package of the same version (cmake/debian-source fetches it with an
# apt state of its own under ffmpeg/apt), as a static MinGW cross build with everything off but
# what the control uses; libvpx and libopus come the same way (libvpx/, opus/), built first, as
# static libraries with their encoders only as far as they can be left out. The OCX and vivcopy
# link it.

add_library(quillo_ffmpeg INTERFACE)

if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QUILLO_FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libswresample libavutil)
  target_link_libraries(quillo_ffmpeg INTERFACE PkgConfig::QUILLO_FFMPEG)
  return()
endif()

include(ExternalProject)

# The installed Debian version of the binary package Binary's source, so the Windows build has the
# same code as the native libraries; empty when it is not installed.
function(quillo_debian_version binary out)
  execute_process(COMMAND dpkg-query -W -f=\${source:Version}\\n ${binary}
                  OUTPUT_VARIABLE version ERROR_QUIET RESULT_VARIABLE failed)
  string(REGEX REPLACE "\n.*" "" version "${version}")
  if(failed)
    set(version "")
  endif()
  set(${out} "${version}" PARENT_SCOPE)
endfunction()

# What all three share: one prefix their headers and static libraries are installed into.
set(codecs_install ${CMAKE_BINARY_DIR}/ffmpeg/install)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  set(ffmpeg_arch x86)
  set(vpx_target x86-win32-gcc)
  # A 32-bit host may call us with the stack only 4-byte aligned; the SSE code wants 16.
  set(codecs_cflags -mstackrealign)
else()
  set(ffmpeg_arch x86_64)
  set(vpx_target x86_64-win64-gcc)
  set(codecs_cflags "")
endif()
cmake_host_system_information(RESULT codecs_jobs QUERY NUMBER_OF_LOGICAL_CORES)
set(debian_source ${CMAKE_CURRENT_LIST_DIR}/debian-source)

# libvpx, for VP9 pictures: its encoder alone, none of its programs, tests or examples, and
# single-threaded (so is every encoder of ours), which spares a threads library.
quillo_debian_version(libvpx7 vpx_version)
set(vpx_dir ${CMAKE_BINARY_DIR}/libvpx)
ExternalProject_Add(libvpx_cross
  PREFIX ${vpx_dir}
  SOURCE_DIR ${vpx_dir}/source
  BINARY_DIR ${vpx_dir}/build
  INSTALL_DIR ${codecs_install}
  DOWNLOAD_COMMAND ${debian_source} ${vpx_dir}/apt <SOURCE_DIR> libvpx 1.12. "${vpx_version}"
  CONFIGURE_COMMAND ${CMAKE_COMMAND} -E env CROSS=${QUILLO_TRIPLE}- CC=${CMAKE_C_COMPILER}
    "CFLAGS=${codecs_cflags}"
    <SOURCE_DIR>/configure --target=${vpx_target} --prefix=<INSTALL_DIR>
    --enable-static --disable-shared --as=nasm
    --disable-examples --disable-tools --disable-docs --disable-unit-tests --disable-install-bins
    --disable-vp8 --disable-vp9-decoder --disable-postproc --disable-vp9-postproc
    --disable-multithread --disable-webm-io --disable-libyuv
  # Its licence and the patent grant that goes with it, as one text.
  BUILD_COMMAND make -j${codecs_jobs} COMMAND make install
    COMMAND sh -c "cat '<SOURCE_DIR>/LICENSE' '<SOURCE_DIR>/PATENTS' >'<INSTALL_DIR>/libvpx-LICENSE.txt'"
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${codecs_install}/lib/libvpx.a
  LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)

# libopus, for the sound. _FORTIFY_SOURCE defined (as 0) keeps its configure from asking for
# checked string functions, which MinGW takes from a library of their own.
quillo_debian_version(libopus0 opus_version)
set(opus_dir ${CMAKE_BINARY_DIR}/opus)
ExternalProject_Add(opus_cross
  PREFIX ${opus_dir}
  SOURCE_DIR ${opus_dir}/source
  BINARY_DIR ${opus_dir}/build
  INSTALL_DIR ${codecs_install}
  DOWNLOAD_COMMAND ${debian_source} ${opus_dir}/apt <SOURCE_DIR> opus 1.3. "${opus_version}"
  CONFIGURE_COMMAND <SOURCE_DIR>/configure --host=${QUILLO_TRIPLE} --prefix=<INSTALL_DIR>
    CC=${CMAKE_C_COMPILER} "CFLAGS=-O2 -D_FORTIFY_SOURCE=0 ${codecs_cflags}"
    --enable-static --disable-shared --disable-doc --disable-extra-programs --disable-stack-protector
    --disable-dependency-tracking
  BUILD_COMMAND make -j${codecs_jobs} COMMAND make install
    COMMAND ${CMAKE_COMMAND} -E copy <SOURCE_DIR>/COPYING <INSTALL_DIR>/Opus-LICENSE.txt
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${codecs_install}/lib/libopus.a
  LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)

quillo_debian_version(libavcodec-dev ffmpeg_version)
set(ffmpeg_dir ${CMAKE_BINARY_DIR}/ffmpeg)
set(ffmpeg_libraries avformat avcodec swscale swresample avutil)
set(ffmpeg_byproducts "")
foreach(lib ${ffmpeg_libraries})
  list(APPEND ffmpeg_byproducts ${codecs_install}/lib/lib${lib}.a)
endforeach()

ExternalProject_Add(ffmpeg_cross
  DEPENDS libvpx_cross opus_cross
  PREFIX ${ffmpeg_dir}
  SOURCE_DIR ${ffmpeg_dir}/source
  BINARY_DIR ${ffmpeg_dir}/build
  INSTALL_DIR ${codecs_install}
  DOWNLOAD_COMMAND ${debian_source} ${ffmpeg_dir}/apt <SOURCE_DIR> ffmpeg 5.1. "${ffmpeg_version}"
  # libvpx and libopus are found by their pkg-config files in our prefix alone.
  CONFIGURE_COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_LIBDIR=<INSTALL_DIR>/lib/pkgconfig PKG_CONFIG_PATH=
    <SOURCE_DIR>/configure
    --prefix=<INSTALL_DIR>
    --enable-cross-compile --target-os=mingw32 --arch=${ffmpeg_arch}
    --cross-prefix=${QUILLO_TRIPLE}- --cc=${CMAKE_C_COMPILER} --pkg-config=pkg-config
    "--extra-cflags=${codecs_cflags}"
    --enable-static --disable-shared
    --disable-everything --disable-autodetect --disable-programs --disable-doc --disable-debug
    --disable-network --disable-avdevice --disable-avfilter --disable-postproc
    # Windows' own threads, though every decoder runs single-threaded: FFmpeg's one-time table
    # set-up and codec locks must hold when the fetch worker opens a clip while another plays.
    --disable-pthreads --enable-w32threads
    # FFmpeg's own assembly (nasm) and its own optimisation, as Debian builds it: decoding and
    # scaling at the machine's pace. (Built for size instead, the OCX was a quarter smaller and
    # decoded a tenth slower.)
    --x86asmexe=nasm
    --enable-demuxer=vivo --enable-decoder=h263,g723_1,siren
    # Save As: Matroska copies of the pictures as they are with FLAC sound, MP4 copies coded
    # afresh, WebM copies in VP9 and Opus for web pages.
    --enable-muxer=matroska,mp4,webm --enable-encoder=mpeg4,aac,flac,libvpx_vp9,libopus
    --enable-libvpx --enable-libopus
  # Installed within the build step, whose products the OCX's link then waits for.
  BUILD_COMMAND make -j${codecs_jobs} COMMAND make install
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${ffmpeg_byproducts}
  LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)

# The licences, to travel with the OCX: FFmpeg's, libvpx's and libopus's.
set(QUILLO_FFMPEG_LICENSE ${ffmpeg_dir}/source/COPYING.LGPLv2.1)
set(QUILLO_CODEC_LICENSES ${codecs_install}/libvpx-LICENSE.txt ${codecs_install}/Opus-LICENSE.txt)

# Imported targets must name folders that exist when the build is generated.
file(MAKE_DIRECTORY ${codecs_install}/include)
foreach(lib ${ffmpeg_libraries} vpx opus)
  add_library(ffmpeg_${lib} STATIC IMPORTED)
  set_target_properties(ffmpeg_${lib} PROPERTIES IMPORTED_LOCATION ${codecs_install}/lib/lib${lib}.a)
  add_dependencies(ffmpeg_${lib} ffmpeg_cross)
endforeach()
target_include_directories(quillo_ffmpeg SYSTEM INTERFACE ${codecs_install}/include)
# Static libraries in link order, then what FFmpeg's own build lists for them.
target_link_libraries(quillo_ffmpeg INTERFACE
  ffmpeg_avformat ffmpeg_avcodec ffmpeg_swscale ffmpeg_swresample ffmpeg_avutil ffmpeg_vpx ffmpeg_opus
  bcrypt ole32 user32 atomic)
add_dependencies(quillo_ffmpeg ffmpeg_cross)
