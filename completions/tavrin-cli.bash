# bash completion for tavrin-cli                                    -*- shell-script -*-

_tavrin_cli()
{
    local cur prev words cword
    _init_completion || return

    case $prev in
        --page)
            COMPREPLY=($(compgen -W 'generalinfo wininfo sysdevinfo cpuadvinfo displayinfo
                displayadvinfo memoryinfo performinfo harddriveinfo harddriveadvinfo
                programsinfo ioinfo networkinfo devicesinfo' -- "$cur"))
            return
            ;;
        --report)
            COMPREPLY=($(compgen -W 'html xml text json' -- "$cur"))
            return
            ;;
        --record)
            _filedir -d
            return
            ;;
        --replay)
            # A snapshot directory, or a single CPUID or SMBIOS dump file.
            _filedir
            return
            ;;
        -o)
            COMPREPLY=($(compgen -W '-' -- "$cur"))
            _filedir
            return
            ;;
        --lang)
            # The languages of the language files; locale names such as de_DE work too.
            COMPREPLY=($(compgen -W 'ENU DEU' -- "$cur"))
            return
            ;;
        --timeout | --monitor)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        local opts='--advanced --page --explain --record --replay --lang --timeout --report -o --mask
            --monitor --help --version'
        ((cword == 1)) && opts+=' -debug'
        COMPREPLY=($(compgen -W "$opts" -- "$cur"))
    fi
} &&
    complete -F _tavrin_cli tavrin-cli

# ex: filetype=sh
