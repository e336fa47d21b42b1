; The library reference that the static drivers' headers receive.
        .export         tgi_libref, joy_libref
        .import         _exit
tgi_libref := _exit
joy_libref := _exit
