# bash completion for halvane2-cli: subcommands, their options, and image files by extension.

_halvane2_cli() {
    local cur prev words cword
    _init_completion || return

    local subcommands="bench show info probe measure apply results compare"
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "$subcommands --help" -- "$cur"))
        return
    fi

    local sub=${words[1]} options
    case $sub in
        bench) options="--json --repeat --keep-images --record --db --chart --help" ;;
        show | info) options="--as --help" ;;
        probe) options="--as --zoom --help" ;;
        measure) options="--as --button --zoom --help" ;;
        apply) options="--as --gamma-field --help" ;;
        results) options="--db --json --help" ;;
        compare) options="--db --json --chart --help" ;;
        *) return ;;
    esac
    local valued="--as --button --zoom --repeat --keep-images --gamma-field --db --chart"

    case $prev in
        --as) COMPREPLY=($(compgen -W "bmp fits ppm" -- "$cur")); return ;;
        --button) COMPREPLY=($(compgen -W "left right" -- "$cur")); return ;;
        --keep-images) _filedir -d; return ;;
        --repeat) COMPREPLY=($(compgen -W "auto" -- "$cur")); return ;;
        --db) _filedir sqlite; return ;;
        --chart) _filedir '@(png|svg)'; return ;;
        --zoom | --gamma-field) return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    # Which positional argument is being typed (option values do not count).
    local i position=0
    for ((i = 2; i < cword; i++)); do
        if [[ " $valued " == *" ${words[i]} "* ]]; then
            ((i++))
        elif [[ ${words[i]} != -* ]]; then
            ((position++))
        fi
    done

    case $sub:$position in
        show:0 | info:0 | probe:0 | measure:0 | apply:0) _filedir '@(bmp|fit|fits|fts|ppm)' ;;
        show:1 | apply:1) _filedir bmp ;;
        compare:*) _filedir json ;;
        apply:*)
            COMPREPLY=($(compgen -W "negative mirror flip rgb-split contrast-up contrast-down zoom-in zoom-out
                edge blur gamma solarize sabattier gmc coma" -- "$cur"))
            ;;
    esac
} &&
    complete -F _halvane2_cli halvane2-cli
